#pragma once
// The key derivation of our Mac files: PBKDF2 (RFC 8018) with HMAC-SHA-1 or
// HMAC-SHA-256 and 1024 iterations, except that the block index starts at 0
// where the RFC starts at 1. Stored Mac files were made that way; keep it.
#include <cstddef>

constexpr int HASH_ID_SHA1 = 0;
constexpr int HASH_ID_SHA256 = 1;
constexpr unsigned PBKDF2_ITERATIONS = 1024;

struct hash_selection {
    std::size_t digest_size;
    int id;
};

// Id 0 gives {20, 0}, id 1 gives {32, 1}; any other id is refused and the
// selection stays as it was.
bool hash_select(hash_selection& selection, int id);

// Derives output_length bytes from the password (bytes in the OEM code page;
// the key is their UTF-8 form) and the salt. Returns output, or null when the
// password does not convert (nothing is then written).
unsigned char* pbkdf2_hmac(const hash_selection& selection, const char* password, std::size_t password_length,
                           const unsigned char* salt, std::size_t salt_length, unsigned char* output,
                           std::size_t output_length);
