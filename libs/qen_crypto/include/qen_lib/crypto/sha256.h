#pragma once
// SHA-256 (FIPS 180-4) over a caller-owned context.
#include <cstddef>
#include <cstdint>

constexpr std::size_t SHA256_DIGEST_SIZE = 32;
constexpr std::size_t SHA256_BLOCK_SIZE = 64;

struct sha256_context {
    std::uint32_t state[8];
    // Message length in bits; the low half also tells how full the block is.
    std::uint32_t length_high;
    std::uint32_t length_low;
    unsigned char block[SHA256_BLOCK_SIZE];
};

void sha256_init(sha256_context& ctx);
void sha256_update(sha256_context& ctx, const void* data, std::size_t length);
void sha256_final(unsigned char* digest, sha256_context& ctx);
void sha256_digest(unsigned char* digest, const void* data, std::size_t length);
