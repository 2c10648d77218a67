#pragma once
// HMAC (RFC 2104) over SHA-1 or SHA-256, on a caller-owned context.
#include <cstddef>

#include "qen_lib/crypto/sha1.h"
#include "qen_lib/crypto/sha256.h"

// Working state of either hash, so that one HMAC context serves both.
union hash_context {
    sha1_context sha1;
    sha256_context sha256;
};

struct hash_descriptor {
    void (*init)(hash_context& ctx);
    int (*update)(hash_context& ctx, const void* data, std::size_t length);
    void (*final)(unsigned char* digest, hash_context& ctx);
    std::size_t digest_size;
    std::size_t block_size;
};

extern const hash_descriptor SHA1_HASH;
extern const hash_descriptor SHA256_HASH;

constexpr std::size_t HMAC_KEY_BLOCK = 64;

struct hmac_context {
    hash_descriptor hash;
    hash_context work;   // inner hash, message included
    hash_context inner;  // after the key XOR 0x36 block
    hash_context outer;  // after the key XOR 0x5C block
    std::size_t key_length;
    unsigned char key[HMAC_KEY_BLOCK];  // the key, or its digest when longer than a block
};

void hmac_init(hmac_context& ctx, const void* key, std::size_t key_length, const hash_descriptor& hash);
void hmac_sha1_init(hmac_context& ctx, const void* key, std::size_t key_length);
void hmac_sha256_init(hmac_context& ctx, const void* key, std::size_t key_length);
// Feeds message bytes to the working context; the hash's update result.
int hmac_update(hmac_context& ctx, const void* data, std::size_t length);
// Writes hash.digest_size bytes. A further HMAC starts again with hmac_init.
void hmac_final(unsigned char* mac, hmac_context& ctx);
