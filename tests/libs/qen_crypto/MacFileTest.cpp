// Mac files against those of the producer script (Python), which made them
// from the same password and salt: byte for byte, and every way a check can
// fail.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/store_mac_secrets.h"

using namespace test_files;

namespace {

// The producer's protected files, each with its Mac file for the suffix cs1.
const wchar_t* const kProtected[] = {L"indexV2.txt", L"empty.txt", L"証明書\\indexV2.txt"};

std::wstring fixture(const std::wstring& name) { return windows_path(CRYPTO_FIXTURES "/mac") + L"\\" + name; }

class MacFileTest : public ::testing::Test {
protected:
    // A copy of the producer's protected file (and its Mac file) to change.
    std::wstring copy_of(const std::wstring& name, bool with_mac = true) {
        CreateDirectoryW((scratch / L"証明書").c_str(), nullptr);
        const std::wstring path = scratch / name;
        write_bytes(path, read_bytes(fixture(name)));
        if (with_mac) write_bytes(path + L".0", read_bytes(fixture(name + L".0")));
        return path;
    }

    BOOL verify(const std::wstring& path, bool& match, const char* suffix = "cs1") {
        match = true;
        return mac_file_verify_sha256(path.c_str(), &match, STORE_MAC_PASSWORD, STORE_MAC_SALT, suffix);
    }

    ScratchFolder scratch;
};

TEST_F(MacFileTest, WritesTheProducersBytes) {
    for (const wchar_t* name : kProtected) {
        const std::wstring path = copy_of(name, false);
        ASSERT_TRUE(mac_file_write_sha256(path.c_str(), STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1"))
            << GetLastError();
        EXPECT_EQ(read_bytes(fixture(std::wstring(name) + L".0")), read_bytes(path + L".0"));
    }
}

TEST_F(MacFileTest, VerifiesTheProducersMacFiles) {
    for (const wchar_t* name : kProtected) {
        bool match = false;
        EXPECT_TRUE(verify(fixture(name), match)) << GetLastError();
        EXPECT_TRUE(match);
    }
}

TEST_F(MacFileTest, BytesInMemoryHaveTheProducersMacText) {
    for (const wchar_t* name : kProtected) {
        const std::string content = read_bytes(fixture(name));
        std::string line = read_bytes(fixture(std::wstring(name) + L".0"));
        line.resize(line.size() - 2);  // without its CR LF
        wchar_t text[MAC_TEXT_CAPACITY];
        ASSERT_TRUE(mac_text_sha256(content.data(), content.size(), STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1", text))
            << GetLastError();
        EXPECT_EQ(std::wstring(line.begin(), line.end()), text);
    }
}

TEST_F(MacFileTest, BytesAreCheckedAsTheyAreInMemoryNotAsTheFileIsNow) {
    const std::wstring path = copy_of(L"indexV2.txt");
    const std::string content = read_bytes(path);
    std::string changed = content;
    changed[5] ^= 0x20;
    struct Case {
        const std::string* bytes;
        bool match;
    };
    for (const Case& c : {Case{&content, true}, Case{&changed, false}}) {
        bool match = !c.match;
        EXPECT_TRUE(mac_bytes_verify_sha256(path.c_str(), c.bytes->data(), c.bytes->size(), &match,
                                            STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1"))
            << GetLastError();
        EXPECT_EQ(c.match, match);
    }
    bool match = true;
    DeleteFileW((path + L".0").c_str());
    EXPECT_FALSE(mac_bytes_verify_sha256(path.c_str(), content.data(), content.size(), &match, STORE_MAC_PASSWORD,
                                         STORE_MAC_SALT, "cs1"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(match);
}

TEST_F(MacFileTest, AChangedByteOrAnotherSuffixDoesNotMatch) {
    const std::wstring path = copy_of(L"indexV2.txt");
    bool match = true;
    EXPECT_TRUE(verify(path, match, "cs2"));
    EXPECT_FALSE(match) << "the suffix is part of the salt";

    std::string content = read_bytes(path);
    content[5] ^= 0x20;
    write_bytes(path, content);
    EXPECT_TRUE(verify(path, match));
    EXPECT_FALSE(match);
}

TEST_F(MacFileTest, StoredLineVariants) {
    const std::wstring path = copy_of(L"indexV2.txt");
    std::string line = read_bytes(path + L".0");
    line.resize(line.size() - 2);  // without its CR LF
    std::string upper = line;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    struct Case {
        std::string stored;
        BOOL runs;
        bool match;
        DWORD error;
    };
    const Case cases[] = {
        {line, TRUE, true, 0},                                  // no line end
        {line + "\n", TRUE, true, 0},                           // LF only
        {line + "\r\nnext line\r\n", TRUE, true, 0},            // only the first line counts
        {upper + "\r\n", TRUE, false, 0},                       // case-sensitive
        {line.substr(1) + "\r\n", TRUE, false, 0},              // one character short
        {"", FALSE, false, ERROR_IO_DEVICE},                    // no line at all
        {std::string(256, 'a') + "\r\n", FALSE, false, ERROR_INTERNAL_ERROR},  // does not fit
    };
    for (const Case& c : cases) {
        write_bytes(path + L".0", c.stored);
        bool match = !c.match;
        EXPECT_EQ(c.runs, verify(path, match)) << c.stored;
        EXPECT_EQ(c.match, match) << c.stored;
        if (!c.runs) {
            EXPECT_EQ(c.error, GetLastError()) << c.stored;
        }
    }
}

TEST_F(MacFileTest, MissingFilesCannotBeChecked) {
    const std::wstring without_mac = copy_of(L"indexV2.txt", false);
    bool match = true;
    EXPECT_FALSE(verify(without_mac, match));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(match);

    EXPECT_FALSE(verify(scratch / L"missing.txt", match));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(mac_file_write_sha256((scratch / L"missing.txt").c_str(), STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(exists(scratch / L"missing.txt.0"));
}

TEST_F(MacFileTest, RefusesWhatDoesNotFitInsteadOfCuttingIt) {
    const std::wstring path = copy_of(L"indexV2.txt", false);
    const std::string salt(MAC_SALT_MAX - 3, 's');
    EXPECT_FALSE(mac_file_write_sha256(path.c_str(), STORE_MAC_PASSWORD, salt.c_str(), "cs1x"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(mac_file_write_sha256(path.c_str(), STORE_MAC_PASSWORD, salt.c_str(), "cs1"));

    const std::wstring longest = L"Z:\\" + std::wstring(MAC_PROTECTED_PATH_MAX - 3, L'x');
    EXPECT_FALSE(mac_file_write_sha256((longest + L"y").c_str(), STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
    EXPECT_FALSE(mac_file_write_sha256(longest.c_str(), STORE_MAC_PASSWORD, STORE_MAC_SALT, "cs1"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError()) << "a path that fits is tried";
}

TEST_F(MacFileTest, APasswordThatDoesNotConvertIsRefused) {
    const std::wstring path = copy_of(L"indexV2.txt");
    const std::string password(600, 'p');
    bool match = true;
    EXPECT_FALSE(mac_file_verify_sha256(path.c_str(), &match, password.c_str(), STORE_MAC_SALT, "cs1"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST_F(MacFileTest, AFailedWriteIsNeverSuccess) {
    // Wine maps Z:\dev\full to the device that is always full: the text
    // reaches the disk only when the stream is flushed, and that fails.
    EXPECT_FALSE(mac_file_write_line(L"Z:\\dev\\full", L"00:11"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_IO_DEVICE), GetLastError());

    EXPECT_FALSE(mac_file_write_line((scratch / L"no folder\\x.0").c_str(), L"00:11"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_READ_ONLY), GetLastError());
}

}  // namespace
