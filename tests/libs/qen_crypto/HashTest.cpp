// SHA-1 and SHA-256: FIPS 180-4 examples, and every length from 0 to 300
// against CryptoAPI's own hashes, fed in random pieces.
#include <windows.h>
#include <wincrypt.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/crypto/sha1.h"
#include "qen_lib/crypto/sha256.h"
#include "win/handle.h"

using namespace test_files;

namespace {

std::string sha1_hex(const std::string& data) {
    unsigned char digest[SHA1_DIGEST_SIZE];
    EXPECT_EQ(0, sha1_digest(digest, data.data(), data.size()));
    return to_hex(digest, sizeof digest);
}

std::string sha256_hex(const std::string& data) {
    unsigned char digest[SHA256_DIGEST_SIZE];
    sha256_digest(digest, data.data(), data.size());
    return to_hex(digest, sizeof digest);
}

struct KnownAnswer {
    std::string message;
    const char* sha1;
    const char* sha256;
};

const KnownAnswer kFips[] = {
    {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d",
     "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrst"
     "nopqrstu",
     "a49b2446a02c645bf419f995b67091253a04a259",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f",
     "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Hash, FipsExamples) {
    for (const KnownAnswer& answer : kFips) {
        EXPECT_EQ(answer.sha1, sha1_hex(answer.message)) << answer.message.substr(0, 20);
        EXPECT_EQ(answer.sha256, sha256_hex(answer.message)) << answer.message.substr(0, 20);
    }
}

TEST(Hash, Sha1RefusesMoreThanTwoToTheSixtyFourBits) {
    sha1_context ctx;
    sha1_init(ctx);
    ctx.length_high = 0xFFFFFFFFu;
    ctx.length_low = 0xFFFFFFF8u - 8 * 8;  // room for 8 more bytes, not 9
    const sha1_context before = ctx;
    const unsigned char data[9] = {};
    EXPECT_NE(0, sha1_update(ctx, data, 9));
    EXPECT_EQ(0, std::memcmp(&before, &ctx, sizeof ctx)) << "nothing absorbed";
    EXPECT_EQ(0, sha1_update(ctx, data, 8));
    EXPECT_EQ(0xFFFFFFF8u, ctx.length_low);
}

// CryptoAPI's digest of the bytes.
std::string cryptoapi_hex(const win::CryptProv& provider, ALG_ID algorithm, const std::string& data) {
    win::CryptHash hash;
    if (!CryptCreateHash(provider.get(), algorithm, 0, 0, hash.put()) ||
        !CryptHashData(hash.get(), reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()), 0)) {
        ADD_FAILURE() << "CryptoAPI hash failed: " << GetLastError();
        return {};
    }
    BYTE digest[32];
    DWORD size = sizeof digest;
    EXPECT_TRUE(CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &size, 0));
    return to_hex(digest, size);
}

// Feeds the data in up to three pieces cut at random places.
template <class Context, class Update>
void feed_in_pieces(Context& ctx, Update update, const std::string& data, std::mt19937& random) {
    std::size_t done = 0;
    for (int piece = 0; piece < 2 && done < data.size(); ++piece) {
        const std::size_t size = std::uniform_int_distribution<std::size_t>(0, data.size() - done)(random);
        update(ctx, data.data() + done, size);
        done += size;
    }
    update(ctx, data.data() + done, data.size() - done);
}

TEST(Hash, AgreesWithCryptoApiForEveryLengthUpTo300) {
    win::CryptProv provider;
    ASSERT_TRUE(CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT));
    std::mt19937 random(20240601);
    for (std::size_t length = 0; length <= 300; ++length) {
        std::string data(length, '\0');
        for (char& c : data) c = static_cast<char>(random());

        sha1_context sha1;
        sha1_init(sha1);
        feed_in_pieces(sha1, [](sha1_context& c, const char* p, std::size_t n) { sha1_update(c, p, n); }, data,
                       random);
        unsigned char digest1[SHA1_DIGEST_SIZE];
        sha1_final(digest1, sha1);
        EXPECT_EQ(cryptoapi_hex(provider, CALG_SHA1, data), to_hex(digest1, sizeof digest1)) << "length " << length;

        sha256_context sha256;
        sha256_init(sha256);
        feed_in_pieces(sha256, sha256_update, data, random);
        unsigned char digest256[SHA256_DIGEST_SIZE];
        sha256_final(digest256, sha256);
        EXPECT_EQ(cryptoapi_hex(provider, CALG_SHA_256, data), to_hex(digest256, sizeof digest256)) << "length " << length;
    }
}

}  // namespace
