#pragma once
// SHA-256 (FIPS 180-4) over a caller-owned context.
#include "qen_lib/crypto/sha_context.h"

constexpr std::size_t SHA256_DIGEST_SIZE = 32;
constexpr std::size_t SHA256_BLOCK_SIZE = SHA_BLOCK_SIZE;
using sha256_context = sha_context<8>;

void sha256_init(sha256_context& ctx);
void sha256_update(sha256_context& ctx, const void* data, std::size_t length);
void sha256_final(unsigned char* digest, sha256_context& ctx);
void sha256_digest(unsigned char* digest, const void* data, std::size_t length);
