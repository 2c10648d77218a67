// The envelope's cipher over a buffer in memory.
#include <cstring>

#include "envelope_cipher.h"
#include "qen_lib/envelope/envelope.h"
#include "win/win_result.h"

namespace {

DWORD crypt_buffer(BOOL encrypt, const BYTE* input, DWORD length, BYTE* output, DWORD* size) {
    win::CryptProv provider;
    win::CryptKey key;
    if (const DWORD error = acquire_envelope_key(provider, key)) return error;
    std::memmove(output, input, length);
    const DWORD capacity = *size;
    *size = length;
    const BOOL done = encrypt ? CryptEncrypt(key.get(), 0, TRUE, 0, output, size, capacity)
                              : CryptDecrypt(key.get(), 0, TRUE, 0, output, size);
    return done ? ERROR_SUCCESS : qen_lib::last_error_or(NTE_FAIL);
}

}  // namespace

BOOL CryptBuffer(BOOL encrypt, const BYTE* input, DWORD length, BYTE* output, DWORD* size) {
    constexpr DWORD room = 16;  // more than the at most 8 bytes of padding
    if (length > MAXDWORD - room) return qen_lib::report(ERROR_ARITHMETIC_OVERFLOW);
    if (output == nullptr) {
        *size = length + room;
        return TRUE;
    }
    if (*size < length + room) return qen_lib::report(ERROR_INSUFFICIENT_BUFFER);
    if (!encrypt && !is_cipher_length(length)) return qen_lib::report(static_cast<DWORD>(NTE_BAD_DATA));
    return qen_lib::report(crypt_buffer(encrypt, input, length, output, size));
}
