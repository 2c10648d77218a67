#pragma once
// The block buffering, length count and final padding that SHA-1 and SHA-256
// share: both take 64-byte blocks and end with 0x80, zeros and the message
// length in bits as a 64-bit big-endian number.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qen_lib/crypto/sha_context.h"

namespace block_hash {

constexpr std::size_t BLOCK = SHA_BLOCK_SIZE;

inline std::uint32_t load_be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

inline void store_be32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

inline std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
inline std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// Adds the working words of one compression to the chaining state.
template <std::size_t N>
inline void add_words(std::uint32_t* state, const std::uint32_t (&words)[N]) {
    for (std::size_t i = 0; i < N; ++i) state[i] += words[i];
}

template <class Context>
std::uint64_t message_bits(const Context& ctx) {
    return (std::uint64_t(ctx.length_high) << 32) | ctx.length_low;
}

// Compress(state, blocks, count) runs the compression over count whole blocks.
template <class Context, void (*Compress)(std::uint32_t*, const unsigned char*, std::size_t)>
void absorb(Context& ctx, const void* data, std::size_t length) {
    auto in = static_cast<const unsigned char*>(data);
    std::size_t used = (ctx.length_low >> 3) % BLOCK;
    const std::uint64_t bits = message_bits(ctx) + std::uint64_t(length) * 8;
    ctx.length_high = static_cast<std::uint32_t>(bits >> 32);
    ctx.length_low = static_cast<std::uint32_t>(bits);
    if (used != 0) {
        const std::size_t take = length < BLOCK - used ? length : BLOCK - used;
        std::memcpy(ctx.block + used, in, take);
        in += take;
        length -= take;
        used += take;
        if (used < BLOCK) return;
        Compress(ctx.state, ctx.block, 1);
    }
    if (length >= BLOCK) {
        Compress(ctx.state, in, length / BLOCK);
        in += length / BLOCK * BLOCK;
        length %= BLOCK;
    }
    if (length != 0) std::memcpy(ctx.block, in, length);
}

template <class Context, void (*Compress)(std::uint32_t*, const unsigned char*, std::size_t)>
void finish(unsigned char* digest, std::size_t words, Context& ctx) {
    std::size_t used = (ctx.length_low >> 3) % BLOCK;
    ctx.block[used++] = 0x80;
    if (used > BLOCK - 8) {
        std::memset(ctx.block + used, 0, BLOCK - used);
        Compress(ctx.state, ctx.block, 1);
        used = 0;
    }
    std::memset(ctx.block + used, 0, BLOCK - 8 - used);
    store_be32(ctx.block + BLOCK - 8, ctx.length_high);
    store_be32(ctx.block + BLOCK - 4, ctx.length_low);
    Compress(ctx.state, ctx.block, 1);
    for (std::size_t i = 0; i < words; ++i) store_be32(digest + 4 * i, ctx.state[i]);
}

}  // namespace block_hash
