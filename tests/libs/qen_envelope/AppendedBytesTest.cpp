// A good envelope from the producer with 1 to 15 bytes appended, as a damaged
// download could bring it, is refused by the file decipher and by the
// in-memory cipher alike.
//
// A length that is not whole 8-byte blocks is refused before anything is
// deciphered. Deciphered anyway (Wine takes a cut block together with
// whatever follows it in memory), about one content in two hundred came out
// with valid padding, so each such length is tried with many contents. An
// appended whole block is deciphered like any other and passes whenever its
// padding happens to be right, as bytes after the trailer may; the one
// content tried for it has wrong padding.
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/envelope/envelope.h"
#include "win/handle.h"

using namespace test_files;

namespace {

constexpr int CONTENTS_PER_CUT_LENGTH = 100;

std::vector<std::string> appended_contents() {
    std::mt19937 random;
    std::vector<std::string> all;
    for (std::size_t count = 1; count <= 15; ++count) {
        const int contents = count % 8 == 0 ? 1 : CONTENTS_PER_CUT_LENGTH;
        for (int i = 0; i < contents; ++i) {
            std::string bytes(count, '\0');
            for (char& c : bytes) c = static_cast<char>(random());
            all.push_back(bytes);
        }
    }
    return all;
}

TEST(AppendedBytes, AreRefusedByBothDeciphers) {
    // Kept loaded, the provider's library is not loaded again for each of the
    // many calls below, which makes them many times faster under Wine.
    win::CryptProv loaded;
    ASSERT_TRUE(CryptAcquireContextW(loaded.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    const std::string envelope = read_bytes(windows_path(ENVELOPE_FIXTURES "/payload0.env"));
    const ScratchFolder scratch;
    const std::wstring source = scratch / L"appended.dat";
    const std::wstring target = scratch / L"appended.txt";
    for (const std::string& appended : appended_contents()) {
        SCOPED_TRACE(to_hex(reinterpret_cast<const unsigned char*>(appended.data()), appended.size()));
        const std::string cipher = envelope + appended;
        std::vector<BYTE> plain(cipher.size() + 16);
        DWORD size = static_cast<DWORD>(plain.size());
        EXPECT_FALSE(CryptBuffer(FALSE, reinterpret_cast<const BYTE*>(cipher.data()),
                                 static_cast<DWORD>(cipher.size()), plain.data(), &size));
        EXPECT_EQ(static_cast<DWORD>(NTE_BAD_DATA), GetLastError());

        write_bytes(source, cipher);
        EXPECT_FALSE(DecryptDataFile(source.c_str(), target.c_str()));
        EXPECT_EQ(static_cast<DWORD>(NTE_BAD_DATA), GetLastError());
    }
    EXPECT_FALSE(exists(target));
}

}  // namespace
