#pragma once
// The context shape that SHA-1 and SHA-256 share: the chaining state, the
// message length in bits (its low half also tells how full the block is) and
// one 64-byte block.
#include <cstddef>
#include <cstdint>

constexpr std::size_t SHA_BLOCK_SIZE = 64;

template <std::size_t StateWords>
struct sha_context {
    std::uint32_t state[StateWords];
    std::uint32_t length_high;
    std::uint32_t length_low;
    unsigned char block[SHA_BLOCK_SIZE];
};
