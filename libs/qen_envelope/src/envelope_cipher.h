#pragma once
// The envelope's cipher key in a provider of its own, as both the file pass
// and the in-memory cipher need it.
#include <windows.h>

#include "win/handle.h"

// ERROR_SUCCESS, or the error of the CryptoAPI call that failed.
DWORD acquire_envelope_key(win::CryptProv& provider, win::CryptKey& key);

// A ciphertext is whole 8-byte cipher blocks, at least one (padding adds one
// to eight bytes). Anything else is refused before CryptDecrypt sees it:
// Wine deciphers a cut block against whatever follows it in memory and now
// and then finds valid padding there.
inline bool is_cipher_length(DWORD length) {
    constexpr DWORD CIPHER_BLOCK = 8;
    return length != 0 && length % CIPHER_BLOCK == 0;
}
