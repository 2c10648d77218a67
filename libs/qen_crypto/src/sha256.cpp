#include "qen_lib/crypto/sha256.h"

#include <cstdint>

#include "block_hash.h"

using block_hash::load_be32;
using block_hash::rotr;

namespace {

constexpr std::uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// Word i of the message schedule, kept in 16 words: computed in the round
// that uses it rather than in a loop of its own, which compilers vectorize
// into store-forwarding stalls.
inline std::uint32_t schedule(std::uint32_t* w, int i) {
    if (i < 16) return w[i];
    const std::uint32_t w15 = w[(i - 15) & 15], w2 = w[(i - 2) & 15];
    const std::uint32_t s0 = rotr(w15, 7) ^ rotr(w15, 18) ^ (w15 >> 3);
    const std::uint32_t s1 = rotr(w2, 17) ^ rotr(w2, 19) ^ (w2 >> 10);
    return w[i & 15] += s0 + w[(i - 7) & 15] + s1;
}

// One round; the callers rotate the roles of the eight words instead of
// moving them, so that each round writes only d and h.
inline void round(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t& d, std::uint32_t e,
                  std::uint32_t f, std::uint32_t g, std::uint32_t& h, std::uint32_t kw) {
    h += (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + (g ^ (e & (f ^ g))) + kw;
    d += h;
    h += (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) | (c & (a | b)));
}

void compress(std::uint32_t* state, const unsigned char* blocks, std::size_t count) {
    for (; count != 0; --count, blocks += block_hash::BLOCK) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = load_be32(blocks + 4 * i);
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        // Unrolled whole, the schedule's "i < 16" is decided at compile time.
#pragma GCC unroll 8
        for (int i = 0; i < 64; i += 8) {
            round(a, b, c, d, e, f, g, h, K[i] + schedule(w, i));
            round(h, a, b, c, d, e, f, g, K[i + 1] + schedule(w, i + 1));
            round(g, h, a, b, c, d, e, f, K[i + 2] + schedule(w, i + 2));
            round(f, g, h, a, b, c, d, e, K[i + 3] + schedule(w, i + 3));
            round(e, f, g, h, a, b, c, d, K[i + 4] + schedule(w, i + 4));
            round(d, e, f, g, h, a, b, c, K[i + 5] + schedule(w, i + 5));
            round(c, d, e, f, g, h, a, b, K[i + 6] + schedule(w, i + 6));
            round(b, c, d, e, f, g, h, a, K[i + 7] + schedule(w, i + 7));
        }
        block_hash::add_words(state, {a, b, c, d, e, f, g, h});
    }
}

}  // namespace

void sha256_init(sha256_context& ctx) {
    ctx = sha256_context{{0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au, 0x510e527fu, 0x9b05688cu,
                          0x1f83d9abu, 0x5be0cd19u},
                         0, 0, {}};
}

void sha256_update(sha256_context& ctx, const void* data, std::size_t length) {
    block_hash::absorb<sha256_context, compress>(ctx, data, length);
}

void sha256_final(unsigned char* digest, sha256_context& ctx) {
    block_hash::finish<sha256_context, compress>(digest, 8, ctx);
}

void sha256_digest(unsigned char* digest, const void* data, std::size_t length) {
    sha256_context ctx;
    sha256_init(ctx);
    sha256_update(ctx, data, length);
    sha256_final(digest, ctx);
}
