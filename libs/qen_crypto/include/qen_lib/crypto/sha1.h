#pragma once
// SHA-1 (FIPS 180-4) over a caller-owned context.
#include "qen_lib/crypto/sha_context.h"

constexpr std::size_t SHA1_DIGEST_SIZE = 20;
constexpr std::size_t SHA1_BLOCK_SIZE = SHA_BLOCK_SIZE;
using sha1_context = sha_context<5>;

void sha1_init(sha1_context& ctx);
// 0; nonzero, with nothing absorbed, when the message would pass 2^64 - 1 bits.
int sha1_update(sha1_context& ctx, const void* data, std::size_t length);
void sha1_final(unsigned char* digest, sha1_context& ctx);
// 0 with the digest written; 1 when the input was refused (nothing written).
int sha1_digest(unsigned char* digest, const void* data, std::size_t length);
