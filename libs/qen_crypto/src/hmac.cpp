#include "qen_lib/crypto/hmac.h"

#include <cstring>

namespace {

void sha1_init_any(hash_context& ctx) { sha1_init(ctx.sha1); }
int sha1_update_any(hash_context& ctx, const void* data, std::size_t length) {
    return sha1_update(ctx.sha1, data, length);
}
void sha1_final_any(unsigned char* digest, hash_context& ctx) { sha1_final(digest, ctx.sha1); }

void sha256_init_any(hash_context& ctx) { sha256_init(ctx.sha256); }
int sha256_update_any(hash_context& ctx, const void* data, std::size_t length) {
    sha256_update(ctx.sha256, data, length);
    return 0;
}
void sha256_final_any(unsigned char* digest, hash_context& ctx) { sha256_final(digest, ctx.sha256); }

void keyed_block(const hash_descriptor& hash, hash_context& ctx, const unsigned char* key, unsigned char pad) {
    unsigned char block[HMAC_KEY_BLOCK];
    for (std::size_t i = 0; i < HMAC_KEY_BLOCK; ++i) block[i] = key[i] ^ pad;
    hash.init(ctx);
    hash.update(ctx, block, HMAC_KEY_BLOCK);
}

}  // namespace

const hash_descriptor SHA1_HASH = {sha1_init_any, sha1_update_any, sha1_final_any, SHA1_DIGEST_SIZE,
                                   SHA1_BLOCK_SIZE};
const hash_descriptor SHA256_HASH = {sha256_init_any, sha256_update_any, sha256_final_any, SHA256_DIGEST_SIZE,
                                     SHA256_BLOCK_SIZE};

void hmac_init(hmac_context& ctx, const void* key, std::size_t key_length, const hash_descriptor& hash) {
    ctx.hash = hash;
    std::memset(ctx.key, 0, sizeof ctx.key);
    if (key_length > hash.block_size) {
        hash.init(ctx.work);
        hash.update(ctx.work, key, key_length);
        hash.final(ctx.key, ctx.work);
        ctx.key_length = hash.digest_size;
    } else {
        if (key_length != 0) std::memcpy(ctx.key, key, key_length);
        ctx.key_length = key_length;
    }
    keyed_block(hash, ctx.inner, ctx.key, 0x36);
    keyed_block(hash, ctx.outer, ctx.key, 0x5C);
    ctx.work = ctx.inner;
}

void hmac_sha1_init(hmac_context& ctx, const void* key, std::size_t key_length) {
    hmac_init(ctx, key, key_length, SHA1_HASH);
}

void hmac_sha256_init(hmac_context& ctx, const void* key, std::size_t key_length) {
    hmac_init(ctx, key, key_length, SHA256_HASH);
}

int hmac_update(hmac_context& ctx, const void* data, std::size_t length) {
    return ctx.hash.update(ctx.work, data, length);
}

void hmac_final(unsigned char* mac, hmac_context& ctx) {
    unsigned char inner_digest[SHA256_DIGEST_SIZE];
    ctx.hash.final(inner_digest, ctx.work);
    ctx.hash.update(ctx.outer, inner_digest, ctx.hash.digest_size);
    ctx.hash.final(mac, ctx.outer);
}
