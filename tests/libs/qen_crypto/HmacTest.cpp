// HMAC: the RFC 2202 and RFC 4231 examples, and keys around the 64-byte
// block checked against Python's hmac module.
#include <string>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/crypto/hmac.h"

using namespace test_files;

namespace {

std::string hmac_hex(const hash_descriptor& hash, const std::string& key, const std::string& message,
                     std::size_t length) {
    hmac_context ctx;
    hmac_init(ctx, key.data(), key.size(), hash);
    // Two pieces: the message may arrive in any number of updates.
    hmac_update(ctx, message.data(), message.size() / 2);
    hmac_update(ctx, message.data() + message.size() / 2, message.size() - message.size() / 2);
    unsigned char mac[SHA256_DIGEST_SIZE];
    hmac_final(mac, ctx);
    return to_hex(mac, length);
}

struct Example {
    const hash_descriptor* hash;
    std::string key;
    std::string message;
    std::string mac;  // may be truncated, as RFC 4231 case 5
};

const std::string kNumbered = from_hex("0102030405060708090a0b0c0d0e0f10111213141516171819");
const std::string kLongKeyFirst = "Test Using Larger Than Block-Size Key - Hash Key First";

const Example kRfcExamples[] = {
    // RFC 2202
    {&SHA1_HASH, std::string(20, '\x0b'), "Hi There", "b617318655057264e28bc0b6fb378c8ef146be00"},
    {&SHA1_HASH, "Jefe", "what do ya want for nothing?", "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
    {&SHA1_HASH, std::string(20, '\xaa'), std::string(50, '\xdd'), "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
    {&SHA1_HASH, kNumbered, std::string(50, '\xcd'), "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
    {&SHA1_HASH, std::string(20, '\x0c'), "Test With Truncation", "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
    {&SHA1_HASH, std::string(80, '\xaa'), kLongKeyFirst, "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
    {&SHA1_HASH, std::string(80, '\xaa'),
     "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
     "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
    // RFC 4231
    {&SHA256_HASH, std::string(20, '\x0b'), "Hi There",
     "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
    {&SHA256_HASH, "Jefe", "what do ya want for nothing?",
     "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
    {&SHA256_HASH, std::string(20, '\xaa'), std::string(50, '\xdd'),
     "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
    {&SHA256_HASH, kNumbered, std::string(50, '\xcd'),
     "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
    {&SHA256_HASH, std::string(20, '\x0c'), "Test With Truncation", "a3b6167473100ee06e0c796c2955552b"},
    {&SHA256_HASH, std::string(131, '\xaa'), kLongKeyFirst,
     "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
    {&SHA256_HASH, std::string(131, '\xaa'),
     "This is a test using a larger than block-size key and a larger than block-size data. The key needs to be "
     "hashed before being used by the HMAC algorithm.",
     "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
};

TEST(Hmac, RfcExamples) {
    for (const Example& example : kRfcExamples) {
        EXPECT_EQ(example.mac, hmac_hex(*example.hash, example.key, example.message, example.mac.size() / 2))
            << example.message.substr(0, 30);
    }
}

// Key bytes i * 7 + 3; the MACs of "message" come from Python's hmac.
std::string patterned_key(std::size_t length) {
    std::string key;
    for (std::size_t i = 0; i < length; ++i) key.push_back(static_cast<char>(i * 7 + 3));
    return key;
}

struct KeyLengthCase {
    std::size_t key_length;
    const char* sha1;
    const char* sha256;
};

const KeyLengthCase kKeysAroundTheBlock[] = {
    {63, "fe100956f0f7e2d3f1f2e3432f17915af732b0c6",
     "d287673fe80f5053c0ffbaa110e77bcdef610de52e8364b50a8023ac2d64fa30"},
    {64, "8450814bc6fddd05ca65c7bae1005783410a74f8",
     "ff215193e73e2fd7435c728d69588ee4c9b4317564f1b35082ee9d7e3a6bbc2a"},
    {65, "68e274030de335fb349d18553b3be2e62cdfb9e9",
     "c3d8ccbd04ee65e7bb7d4ba407bc1c23976e6db7cd5fe3339c2e77c53005b7d3"},
};

TEST(Hmac, KeysAroundTheBlockSize) {
    for (const KeyLengthCase& c : kKeysAroundTheBlock) {
        const std::string key = patterned_key(c.key_length);
        EXPECT_EQ(c.sha1, hmac_hex(SHA1_HASH, key, "message", SHA1_DIGEST_SIZE)) << c.key_length;
        EXPECT_EQ(c.sha256, hmac_hex(SHA256_HASH, key, "message", SHA256_DIGEST_SIZE)) << c.key_length;
    }
}

TEST(Hmac, KeyLongerThanTheBlockActsAsItsDigest) {
    const std::string key = patterned_key(136);  // as long as the envelope's key material
    unsigned char digest[SHA256_DIGEST_SIZE];
    sha256_digest(digest, key.data(), key.size());
    const std::string hashed(reinterpret_cast<const char*>(digest), sizeof digest);
    EXPECT_EQ(hmac_hex(SHA256_HASH, hashed, "payload", 32), hmac_hex(SHA256_HASH, key, "payload", 32));

    const std::string block_key = patterned_key(64);
    sha256_digest(digest, block_key.data(), block_key.size());
    const std::string block_hashed(reinterpret_cast<const char*>(digest), sizeof digest);
    EXPECT_NE(hmac_hex(SHA256_HASH, block_hashed, "payload", 32), hmac_hex(SHA256_HASH, block_key, "payload", 32))
        << "a 64-byte key is used as it is";
}

TEST(Hmac, TheNamedInitsPickTheirHash) {
    hmac_context ctx;
    unsigned char mac[SHA256_DIGEST_SIZE];
    hmac_sha1_init(ctx, "Jefe", 4);
    hmac_update(ctx, "what do ya want for nothing?", 28);
    hmac_final(mac, ctx);
    EXPECT_EQ("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79", to_hex(mac, SHA1_DIGEST_SIZE));
    hmac_sha256_init(ctx, "Jefe", 4);
    hmac_update(ctx, "what do ya want for nothing?", 28);
    hmac_final(mac, ctx);
    EXPECT_EQ("5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843", to_hex(mac, SHA256_DIGEST_SIZE));
}

}  // namespace
