// The Mac files' key derivation against the producer script's own PBKDF2
// (blocks numbered from 0), and the hash selection.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/crypto/pbkdf2.h"
#include "qen_lib/crypto/utf8.h"

using namespace test_files;

namespace {

TEST(HashSelect, KnowsOnlySha1AndSha256) {
    struct Case {
        int id;
        bool known;
        std::size_t digest_size;
    };
    for (const Case& c : {Case{0, true, 20}, Case{1, true, 32}, Case{2, false, 99}, Case{-1, false, 99}}) {
        hash_selection selection{99, 99};
        EXPECT_EQ(c.known, hash_select(selection, c.id)) << c.id;
        EXPECT_EQ(c.digest_size, selection.digest_size) << c.id;
        EXPECT_EQ(c.known ? c.id : 99, selection.id) << c.id;
    }
}

std::string field(const std::string& text) { return text == "-" ? std::string() : from_hex(text); }

TEST(Pbkdf2, MatchesTheProducerScript) {
    std::ifstream vectors(test_files::windows_path(CRYPTO_FIXTURES "/pbkdf2.txt").c_str());
    ASSERT_TRUE(vectors) << "fixture missing";
    std::string line;
    int cases = 0;
    while (std::getline(vectors, line)) {
        std::istringstream fields(line);
        int id = 0;
        std::string password, salt, expected;
        std::size_t length = 0;
        fields >> id >> password >> salt >> length >> expected;
        password = field(password);
        salt = field(salt);
        hash_selection selection{};
        ASSERT_TRUE(hash_select(selection, id));
        std::vector<unsigned char> output(length);
        ASSERT_EQ(output.data(), pbkdf2_hmac(selection, password.data(), password.size(),
                                             reinterpret_cast<const unsigned char*>(salt.data()), salt.size(),
                                             output.data(), length))
            << line;
        EXPECT_EQ(expected, to_hex(output.data(), length)) << line;
        ++cases;
    }
    EXPECT_GE(cases, 10);
}

TEST(Pbkdf2, NumbersBlocksFromZero) {
    // RFC 8018 with c = 1024 (blocks from 1) gives this for "password" and
    // "salt" (Python hashlib.pbkdf2_hmac): our second block, not our first.
    const std::string standard = "231afb7dcd2e860cfd58ab13372bd12c923076c3598a121960320f6fec8a5698";
    hash_selection selection{};
    hash_select(selection, HASH_ID_SHA256);
    unsigned char output[64];
    pbkdf2_hmac(selection, "password", 8, reinterpret_cast<const unsigned char*>("salt"), 4, output, 64);
    EXPECT_NE(standard, to_hex(output, 32));
    EXPECT_EQ(standard, to_hex(output + 32, 32));
}

TEST(Pbkdf2, RefusesAPasswordThatDoesNotConvert) {
    const std::string too_long(OEM_PASSWORD_MAX_UNITS, 'a');  // no room left for the NUL
    hash_selection selection{};
    hash_select(selection, HASH_ID_SHA256);
    unsigned char output[32] = {};
    EXPECT_EQ(nullptr, pbkdf2_hmac(selection, too_long.data(), too_long.size(),
                                   reinterpret_cast<const unsigned char*>("salt"), 4, output, 32));
    EXPECT_EQ(std::string(32, '\0'), std::string(reinterpret_cast<char*>(output), 32)) << "nothing written";
    EXPECT_EQ(output, pbkdf2_hmac(selection, too_long.data(), too_long.size() - 1,
                                  reinterpret_cast<const unsigned char*>("salt"), 4, output, 32));
}

}  // namespace
