#pragma once
// The encrypted-file envelope in which enciphered data files arrive: one
// Triple-DES ciphertext (CryptoAPI, cipher-block chaining, zero IV, PKCS #5
// padding) of
//   payload length L (8 bytes, little-endian) | payload (L bytes) |
//   HMAC-SHA-256 of the payload (32 bytes) | anything (not read).
// Each function returns BOOL and leaves the reason with SetLastError; a
// changed or cut envelope gives NTE_BAD_DATA.
#include <windows.h>
#include <wincrypt.h>

// Deciphers source through the temporary file source + ".tmp" into
// target + ".new", which replaces target by the durable replace
// (qen_lib/fu_replace.h) only once the trailer matched. On FALSE an existing
// target is as it was; neither of the two files remains.
BOOL DecryptDataFile(const wchar_t* source, const wchar_t* target);

// Deciphers the whole source into the temporary file (created or truncated).
BOOL DecryptToTempFile(const wchar_t* source, const wchar_t* temporary);

// Copies the payload of a deciphered envelope to target (created or
// truncated) and checks its trailer. The target holds the bytes copied so far
// when this fails; use it only after TRUE.
BOOL ExtractVerifiedPayload(const wchar_t* temporary, const wchar_t* target);

// The envelope's cipher key in the provider: CALG_3DES derived from a
// CALG_SHA1 hash of the key material.
BOOL DeriveEnvelopeKey(HCRYPTPROV provider, HCRYPTKEY* key);

// Enciphers (encrypt nonzero) or deciphers input with the envelope's cipher
// key. output null: *size = length + 16 (the room it needs) and TRUE. Else
// *size is output's capacity, at least length + 16, and becomes the number of
// bytes produced. Input and output may be the same buffer. A ciphertext that
// is not whole 8-byte blocks gives NTE_BAD_DATA.
BOOL CryptBuffer(BOOL encrypt, const BYTE* input, DWORD length, BYTE* output, DWORD* size);
