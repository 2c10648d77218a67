// The envelope's in-memory cipher: its size rules, and its output against
// OpenSSL's Triple-DES under the key the producer script derives.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/envelope/envelope.h"
#include "win/handle.h"

using namespace test_files;

namespace {

const BYTE* bytes_of(const std::string& text) { return reinterpret_cast<const BYTE*>(text.data()); }

TEST(CryptBuffer, SizeQueryTouchesNothingElse) {
    DWORD size = 0;
    EXPECT_TRUE(CryptBuffer(TRUE, bytes_of("abc"), 3, nullptr, &size));
    EXPECT_EQ(19u, size);
}

TEST(CryptBuffer, SizeAndInputRules) {
    struct Case {
        BOOL encrypt;
        DWORD length;
        DWORD capacity;
        BOOL ok;
        DWORD produced_or_error;
    };
    const Case cases[] = {
        {TRUE, 1024, 1039, FALSE, ERROR_INSUFFICIENT_BUFFER},
        {TRUE, 1024, 1040, TRUE, 1032},  // exactly length + 16 is enough
        {FALSE, 16, 31, FALSE, ERROR_INSUFFICIENT_BUFFER},
        {FALSE, 16, 32, FALSE, static_cast<DWORD>(NTE_BAD_DATA)},  // not our ciphertext
        {FALSE, 0, 16, FALSE, static_cast<DWORD>(NTE_BAD_DATA)},   // no ciphertext is empty
    };
    const std::string input(1024, '\x5a');
    for (const Case& c : cases) {
        std::vector<BYTE> output(c.capacity);
        DWORD size = c.capacity;
        EXPECT_EQ(c.ok, CryptBuffer(c.encrypt, bytes_of(input), c.length, output.data(), &size)) << c.capacity;
        EXPECT_EQ(c.produced_or_error, c.ok ? size : GetLastError()) << c.capacity;
    }
}

TEST(CryptBuffer, MatchesOpenSslBothWays) {
    const std::string plain = read_bytes(windows_path(ENVELOPE_FIXTURES "/buffer.plain"));
    const std::string cipher = read_bytes(windows_path(ENVELOPE_FIXTURES "/buffer.cipher"));
    std::vector<BYTE> output(plain.size() + 16);

    DWORD size = static_cast<DWORD>(output.size());
    ASSERT_TRUE(CryptBuffer(TRUE, bytes_of(plain), static_cast<DWORD>(plain.size()), output.data(), &size));
    EXPECT_EQ(cipher, std::string(reinterpret_cast<char*>(output.data()), size));

    output.resize(cipher.size() + 16);  // deciphering asks for the same room
    size = static_cast<DWORD>(output.size());
    ASSERT_TRUE(CryptBuffer(FALSE, bytes_of(cipher), static_cast<DWORD>(cipher.size()), output.data(), &size));
    EXPECT_EQ(plain, std::string(reinterpret_cast<char*>(output.data()), size));
}

TEST(CryptBuffer, RoundTripInPlaceForEveryPaddingLength) {
    for (DWORD length = 0; length <= 17; ++length) {
        std::vector<BYTE> buffer(length + 32);  // the ciphertext is up to 8 bytes longer, plus 16
        for (DWORD i = 0; i < length; ++i) buffer[i] = static_cast<BYTE>(i * 31 + length);
        const std::vector<BYTE> original(buffer.begin(), buffer.begin() + length);
        DWORD size = static_cast<DWORD>(buffer.size());
        ASSERT_TRUE(CryptBuffer(TRUE, buffer.data(), length, buffer.data(), &size)) << length;
        EXPECT_EQ((length / 8 + 1) * 8, size) << "1 to 8 bytes of padding";
        const DWORD cipher_length = size;
        size = static_cast<DWORD>(buffer.size());
        ASSERT_TRUE(CryptBuffer(FALSE, buffer.data(), cipher_length, buffer.data(), &size)) << length;
        EXPECT_EQ(original, std::vector<BYTE>(buffer.begin(), buffer.begin() + size)) << length;
    }
}

TEST(DeriveEnvelopeKey, FailsWithoutAProvider) {
    win::CryptKey key;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DeriveEnvelopeKey(0, key.put()));
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    EXPECT_FALSE(key.valid());
}

}  // namespace
