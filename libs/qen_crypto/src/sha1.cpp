#include "qen_lib/crypto/sha1.h"

#include <cstdint>
#include <limits>

#include "block_hash.h"

using block_hash::load_be32;
using block_hash::rotl;

namespace {

// Word i of the message schedule, kept in 16 words: computed in the round
// that uses it rather than in a loop of its own, which compilers vectorize
// into store-forwarding stalls.
inline std::uint32_t schedule(std::uint32_t* w, int i) {
    if (i < 16) return w[i];
    return w[i & 15] = rotl(w[(i - 3) & 15] ^ w[(i - 8) & 15] ^ w[(i - 14) & 15] ^ w[i & 15], 1);
}

// One round; the callers rotate the roles of the five words instead of
// moving them, so that each round touches only two of them.
template <int Phase>
inline void round(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                  std::uint32_t w) {
    if constexpr (Phase == 0) e += (d ^ (b & (c ^ d))) + 0x5A827999u;
    if constexpr (Phase == 1) e += (b ^ c ^ d) + 0x6ED9EBA1u;
    if constexpr (Phase == 2) e += ((b & c) | (d & (b | c))) + 0x8F1BBCDCu;
    if constexpr (Phase == 3) e += (b ^ c ^ d) + 0xCA62C1D6u;
    e += rotl(a, 5) + w;
    b = rotl(b, 30);
}

template <int Phase>
inline void twenty_rounds(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d,
                          std::uint32_t& e, std::uint32_t* w) {
    // Unrolled whole, the schedule's "i < 16" is decided at compile time.
#pragma GCC unroll 4
    for (int i = 20 * Phase; i < 20 * Phase + 20; i += 5) {
        round<Phase>(a, b, c, d, e, schedule(w, i));
        round<Phase>(e, a, b, c, d, schedule(w, i + 1));
        round<Phase>(d, e, a, b, c, schedule(w, i + 2));
        round<Phase>(c, d, e, a, b, schedule(w, i + 3));
        round<Phase>(b, c, d, e, a, schedule(w, i + 4));
    }
}

void compress(std::uint32_t* state, const unsigned char* blocks, std::size_t count) {
    for (; count != 0; --count, blocks += block_hash::BLOCK) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = load_be32(blocks + 4 * i);
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        twenty_rounds<0>(a, b, c, d, e, w);
        twenty_rounds<1>(a, b, c, d, e, w);
        twenty_rounds<2>(a, b, c, d, e, w);
        twenty_rounds<3>(a, b, c, d, e, w);
        block_hash::add_words(state, {a, b, c, d, e});
    }
}

}  // namespace

void sha1_init(sha1_context& ctx) {
    ctx = sha1_context{{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u}, 0, 0, {}};
}

int sha1_update(sha1_context& ctx, const void* data, std::size_t length) {
    const std::uint64_t room = std::numeric_limits<std::uint64_t>::max() - block_hash::message_bits(ctx);
    if (std::uint64_t(length) > room / 8) return 1;
    block_hash::absorb<sha1_context, compress>(ctx, data, length);
    return 0;
}

void sha1_final(unsigned char* digest, sha1_context& ctx) {
    block_hash::finish<sha1_context, compress>(digest, 5, ctx);
}

int sha1_digest(unsigned char* digest, const void* data, std::size_t length) {
    sha1_context ctx;
    sha1_init(ctx);
    if (sha1_update(ctx, data, length) != 0) return 1;
    sha1_final(digest, ctx);
    return 0;
}
