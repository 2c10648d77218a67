// Envelope files made by the producer script (Python and OpenSSL): the sizes
// around the 2048-byte blocks decipher to their payload; changed, cut or
// missing files are refused, leave an old target as it was and neither
// ".tmp" nor ".new" behind.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/replace_seam.h"
#include "support/test_files.h"
#include "qen_lib/envelope/envelope.h"

using namespace test_files;

namespace {

std::wstring fixture(const std::string& name) { return windows_path(ENVELOPE_FIXTURES "/" + name); }

class DecryptDataFileTest : public ::testing::Test {
protected:
    // The fixture copied into the scratch folder, so that the temporary file
    // lands there too.
    std::wstring source_of(const std::string& name, const std::wstring& as = L"VelmoUpgradeToolDatabase.dat") {
        const std::wstring source = scratch / as;
        write_bytes(source, read_bytes(fixture(name + ".env")));
        return source;
    }

    // DecryptDataFile over an old target, with the last error cleared.
    BOOL decrypt_over_old_target(const std::wstring& source) {
        write_bytes(target, OLD_TARGET);
        SetLastError(ERROR_SUCCESS);
        return DecryptDataFile(source.c_str(), target.c_str());
    }

    void expect_nothing_changed(const std::wstring& source) {
        EXPECT_EQ(OLD_TARGET, read_bytes(target)) << "an unverified payload never replaces the target";
        EXPECT_FALSE(exists(target + L".new"));
        EXPECT_FALSE(exists(source + L".tmp"));
    }

    static constexpr const char* OLD_TARGET = "an old target";
    ScratchFolder scratch;
    const std::wstring target = scratch / L"VelmoUpgradeToolDatabase.txt";
};

TEST_F(DecryptDataFileTest, GivesThePayloadAtEveryBlockBoundary) {
    // Ciphertexts of 48, 2040, 2048, 3048, 4096 and 4104 bytes; "trailing"
    // has bytes after its trailer, which are not read.
    for (const char* name : {"payload0", "payload1992", "payload2000", "payload3000", "payload4048", "payload4056",
                             "trailing"}) {
        const std::wstring source = source_of(name);
        write_bytes(target, std::string(5000, 'x'));  // an old target is replaced whole
        EXPECT_TRUE(DecryptDataFile(source.c_str(), target.c_str())) << name << " error " << GetLastError();
        EXPECT_EQ(read_bytes(fixture(std::string(name) + ".payload")), read_bytes(target)) << name;
        EXPECT_FALSE(exists(source + L".tmp")) << name;
        EXPECT_FALSE(exists(target + L".new")) << name;
    }
}

TEST_F(DecryptDataFileTest, ChangedOrCutPlaintextIsBadData) {
    for (const char* name : {"changed_payload", "changed_trailer", "changed_length", "cut_trailer", "cut_length"}) {
        SCOPED_TRACE(name);
        const std::wstring source = source_of(name);
        EXPECT_FALSE(decrypt_over_old_target(source));
        EXPECT_EQ(static_cast<DWORD>(NTE_BAD_DATA), GetLastError());
        expect_nothing_changed(source);
    }
}

TEST_F(DecryptDataFileTest, DamagedCiphertextFails) {
    for (const char* name : {"cut_cipher", "empty"}) {
        SCOPED_TRACE(name);
        const std::wstring source = source_of(name);
        EXPECT_FALSE(decrypt_over_old_target(source));
        EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
        expect_nothing_changed(source);
    }
}

TEST_F(DecryptDataFileTest, MissingSourceIsFileNotFound) {
    const std::wstring source = scratch / L"missing.dat";
    EXPECT_FALSE(decrypt_over_old_target(source));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    expect_nothing_changed(source);
}

// The payload's data is on the disk before the move that names it; that it
// survives a real power loss only Windows can show.
TEST_F(DecryptDataFileTest, ThePayloadIsFlushedBeforeItIsMovedIn) {
    const std::wstring source = source_of("payload3000");
    const testing_support::ReplaceSteps steps;
    EXPECT_TRUE(DecryptDataFile(source.c_str(), target.c_str()));
    EXPECT_EQ(std::vector<std::wstring>({L"flush VelmoUpgradeToolDatabase.txt.new",
                                         L"move VelmoUpgradeToolDatabase.txt.new VelmoUpgradeToolDatabase.txt"}),
              steps.steps());
}

TEST_F(DecryptDataFileTest, WorksInAJapaneseFolderName) {
    CreateDirectoryW((scratch / L"更新データ").c_str(), nullptr);
    const std::wstring source = source_of("payload3000", L"更新データ\\データベース.dat");
    const std::wstring japanese_target = scratch / L"更新データ\\データベース.txt";
    EXPECT_TRUE(DecryptDataFile(source.c_str(), japanese_target.c_str()));
    EXPECT_EQ(read_bytes(fixture("payload3000.payload")), read_bytes(japanese_target));
}

TEST_F(DecryptDataFileTest, TheTwoPassesSeparately) {
    const std::wstring source = source_of("trailing");
    const std::wstring temporary = scratch / L"plain.tmp";
    ASSERT_TRUE(DecryptToTempFile(source.c_str(), temporary.c_str()));
    const std::string plain = read_bytes(temporary);
    const std::string payload = read_bytes(fixture("trailing.payload"));
    ASSERT_GT(plain.size(), 40 + payload.size()) << "the bytes after the trailer are deciphered too";
    EXPECT_EQ(std::string("\x64\0\0\0\0\0\0\0", 8), plain.substr(0, 8));
    EXPECT_EQ(payload, plain.substr(8, payload.size()));

    EXPECT_TRUE(ExtractVerifiedPayload(temporary.c_str(), target.c_str()));
    EXPECT_EQ(payload, read_bytes(target));

    write_bytes(temporary, plain.substr(0, 8 + payload.size() + 31));
    EXPECT_FALSE(ExtractVerifiedPayload(temporary.c_str(), target.c_str()));
    EXPECT_EQ(static_cast<DWORD>(NTE_BAD_DATA), GetLastError());
}

}  // namespace
