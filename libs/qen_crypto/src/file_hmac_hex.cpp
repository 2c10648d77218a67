// The Mac text of a file or of bytes in memory: their HMAC-SHA-256 as hex
// bytes joined by ":".
#include <cwchar>

#include "file_blocks.h"
#include "hmac_hex.h"
#include "qen_lib/crypto/hmac.h"
#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/pbkdf2.h"
#include "win/win_result.h"

namespace {

DWORD hmac_of_file(const wchar_t* path, const unsigned char* key, std::size_t key_length, unsigned char* mac) {
    hmac_context ctx;
    hmac_sha256_init(ctx, key, key_length);
    // SHA-256 takes any length: its update never refuses.
    const DWORD error = read_file_blocks(path, [&ctx](const unsigned char* block, std::size_t size) -> DWORD {
        hmac_update(ctx, block, size);
        return ERROR_SUCCESS;
    });
    if (error == ERROR_SUCCESS) hmac_final(mac, ctx);
    return error;
}

// Each byte is written at the end of what is there, "%02x" first and
// ":%02x" after, so no call reads the text it writes.
DWORD format_hex(const unsigned char* bytes, std::size_t size, wchar_t* text) {
    std::size_t used = 0;
    text[0] = L'\0';
    for (std::size_t i = 0; i < size; ++i) {
        const int written = std::swprintf(text + used, MAC_TEXT_CAPACITY - used, i == 0 ? L"%02x" : L":%02x",
                                          static_cast<unsigned>(bytes[i]));
        if (written < 0) return ERROR_INTERNAL_ERROR;
        used += static_cast<std::size_t>(written);
    }
    return ERROR_SUCCESS;
}

DWORD mac_text(const wchar_t* path, const unsigned char* key, std::size_t key_length, wchar_t* text, int hash_id) {
    if (hash_id != HASH_ID_SHA256) return ERROR_INTERNAL_ERROR;
    unsigned char mac[SHA256_DIGEST_SIZE];
    if (const DWORD error = hmac_of_file(path, key, key_length, mac)) return error;
    return format_hex(mac, sizeof mac, text);
}

}  // namespace

DWORD bytes_hmac_hex(const void* data, std::size_t size, const unsigned char* key, std::size_t key_length,
                     wchar_t* text, int hash_id) {
    if (hash_id != HASH_ID_SHA256) return ERROR_INTERNAL_ERROR;
    hmac_context ctx;
    hmac_sha256_init(ctx, key, key_length);
    hmac_update(ctx, data, size);
    unsigned char mac[SHA256_DIGEST_SIZE];
    hmac_final(mac, ctx);
    return format_hex(mac, sizeof mac, text);
}

BOOL file_hmac_hex(const wchar_t* path, const unsigned char* key, std::size_t key_length, wchar_t* text,
                   int hash_id) {
    return qen_lib::report(mac_text(path, key, key_length, text, hash_id));
}
