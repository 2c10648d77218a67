// INI keys written into a file's bytes: each row is written into a file of
// its own by WritePrivateProfileStringW too, and the bytes must be the same.
// Wine's profile functions write the whole file again in their own form
// (every line ended by CR LF, blank lines dropped), Windows' change the one
// line; the rows hold files already in that form, where both agree.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "fileops/IniFileBytes.h"
#include "support/StateFixtures.h"

namespace {

// The text as UTF-16LE behind its byte-order mark.
std::string Utf16(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

// Code page 932: "お知らせ", and a path whose "ソ" and "表" end in the byte
// of a backslash, as "]" and "=" could.
const std::string kNotice = "\x82\xA8\x92\x6D\x82\xE7\x82\xB9";
const std::string kClientFolder = "C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C";

struct IniCase {
    const char* name;
    std::string before;
    const wchar_t* section;
    const wchar_t* key;
    std::wstring value;
};

const IniCase kIniCases[] = {
    {"an order blanked", "[Command]\r\ndURL=\"https://dl.example.jp/v.exe\"\r\nuninst=/x\r\n[Message]\r\ncommon=" +
                             kNotice + "\r\n",
     L"Command", L"dURL", L""},
    {"an order blank already", "[Command]\r\ndURL=\r\n", L"Command", L"dURL", L""},
    {"a quoted blank", "[Command]\r\ndURL=\"\"\r\n", L"Command", L"dURL", L""},
    {"a key added to its section", "[Command]\r\ndURL=\r\n[Message]\r\ncommon=x\r\n", L"Command", L"cacerts", L""},
    {"a key added to a section without keys", "[Velmo]\r\nver=6.1.9\r\n[Command]\r\n", L"Command", L"uninst", L""},
    {"a section added", "[Velmo]\r\nmajor=6\r\n", L"Message", L"common", L""},
    {"an empty file", "", L"Command", L"dURL", L""},
    {"no line end after the key", "[Command]\r\ndURL=a", L"Command", L"dURL", L""},
    {"no line end after the section", "[Command]\r\nuninst=", L"Command", L"dURL", L""},
    {"names in other letters", "[COMMAND]\r\nDURL=a\r\n", L"Command", L"dURL", L""},
    {"blanks around the key", "[Command]\r\n  dURL =  a \r\n", L"Command", L"dURL", L""},
    {"a key without a value", "[Command]\r\ndURL\r\nuninst=\r\n", L"Command", L"dURL", L""},
    {"a comment of the key's name", "[Command]\r\n;dURL=x\r\ndURL=y\r\n", L"Command", L"dURL", L""},
    {"the first of two sections", "[Command]\r\nuninst=\r\n[Other]\r\nb=2\r\n[Command]\r\ndURL=x\r\n", L"Command",
     L"dURL", L""},
    {"a key of the same name elsewhere", "[Other]\r\ndURL=x\r\n[Command]\r\nuninst=\r\n", L"Command", L"dURL", L""},
    {"lines before the first section", "dURL=x\r\n[Command]\r\n", L"Command", L"dURL", L""},
    {"a flag set", "[ZRVCAVelmo]\r\nDirectory=" + kClientFolder + "\r\n[OPTION]\r\nETaxTOOL=0\r\n", L"OPTION",
     L"ETaxTOOL", L"1"},
    {"the state added after Japanese", "[ZRVCAVelmo]\r\nDirectory=" + kClientFolder + "\r\n", L"OPTION",
     L"Velmo_instState", L"1"},
    {"a Japanese value", "[Message]\r\ncommon=\r\n", L"Message", L"common", L"お知らせ"},
    {"UTF-16: a flag set", Utf16(L"[ZRVCAVelmo]\r\nDirectory=C:\\ソフト\r\n[OPTION]\r\nETaxTOOL=0\r\n"), L"OPTION",
     L"ETaxTOOL", L"1"},
    {"UTF-16: a section added", Utf16(L"[ZRVCAVelmo]\r\nDirectory=C:\\ソフト\r\n"), L"OPTION", L"ZAVAZuvaz", L"0"},
    {"UTF-16: the mark alone", Utf16(L""), L"OPTION", L"Velmo_instState", L"0"},
};

}  // namespace

TEST(IniFileBytes, WritesWhatWritePrivateProfileStringWrites) {
    TempFolder folder;
    int row = 0;
    for (const IniCase& c : kIniCases) {
        SCOPED_TRACE(c.name);
        // A file of its own for each row: Wine keeps files it has read by
        // their name and time.
        const std::wstring file = folder / (L"row" + std::to_wstring(++row) + L".ini");
        WriteFileBytes(file, c.before);
        const std::wstring readBefore = RawProfileValue(file, c.section, c.key);
        ASSERT_TRUE(WritePrivateProfileStringW(c.section, c.key, c.value.c_str(), file.c_str()));
        EXPECT_EQ(WithIniValue(c.before, c.section, c.key, c.value), testing_support::read_bytes(file));
        EXPECT_EQ(IniValue(c.before, c.section, c.key).value_or(ABSENT), readBefore);
    }
}

// Windows changes the one line; the rest of the file stays as it was.
TEST(IniFileBytes, KeepsEveryOtherByte) {
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"LF line ends", "[Command]\ndURL=a\nuninst=b\n", "[Command]\ndURL=\nuninst=b\n"},
        {"blanks inside the brackets", "[ Command ]\r\ndURL=x\r\n", "[ Command ]\r\ndURL=\r\n"},
        {"blank lines and blanks", "[Velmo]\r\n ver = 6.1.9 \r\n\r\n[Command]\r\ndURL=a\r\n\r\n",
         "[Velmo]\r\n ver = 6.1.9 \r\n\r\n[Command]\r\ndURL=\r\n\r\n"},
        {"added before the blank line", "[Command]\r\nuninst=\r\n\r\n[Message]\r\n",
         "[Command]\r\nuninst=\r\ndURL=\r\n\r\n[Message]\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithIniValue(c.before, L"Command", L"dURL", L""), c.after) << c.name;
}

// Nothing is written where the result would not read back as written.
TEST(IniFileBytes, WritesNothingOutsideTheProfileFunctionsEncodings) {
    const struct {
        const char* name;
        std::string before;
        std::wstring value;
    } cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF[Command]\r\ndURL=a\r\n", L""},
        {"big-endian mark", std::string("\xFE\xFF\0[\0C\0]", 8), L""},
        {"UTF-16 cut in a character", Utf16(L"[Command]\r\n") + "d", L""},
        {"no such character in code page 932", "[Command]\r\ndURL=a\r\n", L"\u00E9"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(WithIniValue(c.before, L"Command", L"dURL", c.value)) << c.name;
        if (!c.value.empty()) continue;
        EXPECT_FALSE(IniValue(c.before, L"Command", L"dURL")) << c.name;
    }
}
