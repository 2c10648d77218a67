// UTF-8 text load and save: what is loaded and saved again is the same file,
// byte for byte, whatever its line ends or byte-order mark.
#include <gtest/gtest.h>

#include <windows.h>

#include "fileops/TextFile.h"
#include "install/InstallContext.h"
#include "support/StateFixtures.h"
#include "support/log_seam.h"

namespace {

struct RoundTrip {
    const char* name;
    std::string bytes;
    std::wstring text;  // what the load gives
};

const RoundTrip kRoundTrips[] = {
    {"empty", "", L""},
    {"CR LF", "a=1\r\nb=2\r\n", L"a=1\r\nb=2\r\n"},
    {"LF alone", "a=1\nb=2\n", L"a=1\nb=2\n"},
    {"CR alone", "a=1\rb=2", L"a=1\rb=2"},
    {"no final line end", "a=1", L"a=1"},
    {"byte-order mark", "\xEF\xBB\xBFk=v\r\n", L"\xFEFFk=v\r\n"},
    {"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC=\xE8\xAA\x9E\r\n", L"日本=語\r\n"},
    {"outside the BMP", "x=\xF0\x9F\x98\x80", L"x=\U0001F600"},
    {"a NUL byte", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    {"a line longer than 4095", std::string(5000, 'x') + "\r\n", std::wstring(5000, L'x') + L"\r\n"},
};

}  // namespace

TEST(TextFile, LoadAndSaveKeepEveryByte) {
    for (const RoundTrip& c : kRoundTrips) {
        TempFolder folder;
        WriteFileBytes(folder / L"in.properties", c.bytes);
        std::wstring text;
        ASSERT_TRUE(qen_lib::file::load(folder / L"in.properties", text)) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        ASSERT_TRUE(qen_lib::file::save(folder / L"out.properties", text)) << c.name;
        EXPECT_EQ(testing_support::read_bytes(folder / L"out.properties"), c.bytes) << c.name;
    }
}

// Text that is not UTF-8 would come out changed: it is not taken at all.
TEST(TextFile, BytesThatAreNotUtf8AreRefusedAndLogged) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"Latin-1", "caf\xE9=1\r\n"},
        {"Shift_JIS", "\x93\xFA\x96\x7B"},
        {"cut sequence", "a\xE6\x97"},
        {"overlong slash", "\xC0\xAF"},
        {"encoded surrogate", "\xED\xA0\x80"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        qen_lib::log::testing::LogSwitchedOn log(folder / L"log.txt");
        WriteFileBytes(folder / L"in.properties", c.bytes);
        std::wstring text = L"kept";
        EXPECT_FALSE(qen_lib::file::load(folder / L"in.properties", text)) << c.name;
        EXPECT_EQ(text, L"kept") << c.name;
        EXPECT_EQ(log.messages(), (std::vector<std::wstring>{
                                      L"qen_lib::file::load:254",
                                      L"File reading failed(1113): path=" + (folder / L"in.properties")}))
            << c.name;
    }
}

// The client's ".properties" reaches the tool folder unchanged, also over a
// read-only, hidden copy of an earlier run.
TEST(SavePropertiesFile, CopiesTheBytesUnchanged) {
    for (const RoundTrip& c : kRoundTrips) {
        TempFolder client, base;
        MakeFolder(base / L"ZRV\\VelmoUpgradeTool");
        const std::wstring target = base / L"ZRV\\VelmoUpgradeTool\\.properties";
        WriteFileBytes(target, "old");
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        WriteFileBytes(client / L".kvxwrap\\.properties", c.bytes);
        CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return base.path(); });
        EXPECT_TRUE(context.SavePropertiesFile()) << c.name;
        EXPECT_EQ(testing_support::read_bytes(target), c.bytes) << c.name;
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(TextFile, AFileOverSixteenMebibytesIsNotRead) {
    TempFolder folder;
    WriteFileBytes(folder / L"big.properties", std::string(16u * 1024u * 1024u + 1u, 'a'));
    std::wstring text;
    EXPECT_FALSE(qen_lib::file::load(folder / L"big.properties", text));
    EXPECT_TRUE(text.empty());
}
