#include "qen_lib/crypto/pbkdf2.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "qen_lib/crypto/hmac.h"
#include "qen_lib/crypto/utf8.h"

bool hash_select(hash_selection& selection, int id) {
    switch (id) {
    case HASH_ID_SHA1: selection = {SHA1_DIGEST_SIZE, HASH_ID_SHA1}; return true;
    case HASH_ID_SHA256: selection = {SHA256_DIGEST_SIZE, HASH_ID_SHA256}; return true;
    default: return false;
    }
}

unsigned char* pbkdf2_hmac(const hash_selection& selection, const char* password, std::size_t password_length,
                           const unsigned char* salt, std::size_t salt_length, unsigned char* output,
                           std::size_t output_length) {
    char key[OEM_PASSWORD_UTF8_CAPACITY];
    if (!oem_to_utf8(password, password_length, key)) return nullptr;
    const std::size_t key_length = std::strlen(key);
    const hash_descriptor& hash = selection.id == HASH_ID_SHA1 ? SHA1_HASH : SHA256_HASH;
    const std::size_t hlen = hash.digest_size;

    std::uint32_t index = 0;  // deliberately from 0: see the header
    for (std::size_t offset = 0; offset < output_length; offset += hlen, ++index) {
        const unsigned char index_be[4] = {static_cast<unsigned char>(index >> 24),
                                           static_cast<unsigned char>(index >> 16),
                                           static_cast<unsigned char>(index >> 8), static_cast<unsigned char>(index)};
        unsigned char u[SHA256_DIGEST_SIZE];
        unsigned char t[SHA256_DIGEST_SIZE];
        hmac_context ctx;
        hmac_init(ctx, key, key_length, hash);
        hmac_update(ctx, salt, salt_length);
        hmac_update(ctx, index_be, sizeof index_be);
        hmac_final(u, ctx);
        std::memcpy(t, u, hlen);
        for (unsigned i = 1; i < PBKDF2_ITERATIONS; ++i) {
            hmac_init(ctx, key, key_length, hash);
            hmac_update(ctx, u, hlen);
            hmac_final(u, ctx);
            for (std::size_t j = 0; j < hlen; ++j) t[j] ^= u[j];
        }
        std::memcpy(output + offset, t, output_length - offset < hlen ? output_length - offset : hlen);
        SecureZeroMemory(t, sizeof t);
        SecureZeroMemory(u, sizeof u);
        SecureZeroMemory(&ctx, sizeof ctx);
    }
    SecureZeroMemory(key, sizeof key);
    return output;
}
