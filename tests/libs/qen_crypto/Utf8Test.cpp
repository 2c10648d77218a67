// The UTF-8 forms the key derivation hashes.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/crypto/utf8.h"

using namespace test_files;

namespace {

struct UnitCase {
    std::wstring text;
    bool converts;
    std::string utf8;
};

const UnitCase kUnits[] = {
    {L"", true, ""},
    {L"A~", true, "A~"},
    {L"\u0080", true, from_hex("c280")},
    {L"\u07FF", true, from_hex("dfbf")},
    {L"\u0800", true, from_hex("e0a080")},
    {L"\u3042", true, from_hex("e38182")},
    {L"\uFFFE", true, from_hex("efbfbe")},
    // Surrogates are encoded one unit at a time, three bytes each.
    {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, true, from_hex("eda0bdedb880")},
    {L"ab\uFFFF", false, ""},
};

TEST(Utf16ToUtf8, EncodesEachUnitByItself) {
    for (const UnitCase& c : kUnits) {
        char output[32];
        std::memset(output, 'x', sizeof output);
        EXPECT_EQ(c.converts, utf16_to_utf8(c.text.c_str(), output)) << c.utf8;
        EXPECT_EQ(c.utf8, std::string(output)) << c.utf8;
    }
}

TEST(OemToUtf8, ConvertsFromCodePage932) {
    struct Case {
        std::string oem;
        std::string utf8;
    };
    const Case cases[] = {
        {"Password!20", "Password!20"},  // ASCII: the key is the password's own bytes
        {"", ""},
        {from_hex("82a0"), from_hex("e38182")},  // あ
        {from_hex("b1"), from_hex("efbdb1")},    // half-width ｱ
    };
    ASSERT_EQ(932u, GetOEMCP()) << "the tests run with a Japanese Windows";
    for (const Case& c : cases) {
        char output[OEM_PASSWORD_UTF8_CAPACITY];
        EXPECT_TRUE(oem_to_utf8(c.oem.data(), c.oem.size(), output)) << c.utf8;
        EXPECT_EQ(c.utf8, std::string(output));
    }
}

TEST(OemToUtf8, StopsAtTheUnitLimit) {
    char output[OEM_PASSWORD_UTF8_CAPACITY];
    const std::string longest(OEM_PASSWORD_MAX_UNITS - 1, 'z');
    EXPECT_TRUE(oem_to_utf8(longest.data(), longest.size(), output));
    EXPECT_EQ(longest, std::string(output));
    const std::string kana(OEM_PASSWORD_MAX_UNITS - 1, '\xb1');  // three UTF-8 bytes each: the most there is
    EXPECT_TRUE(oem_to_utf8(kana.data(), kana.size(), output));
    EXPECT_EQ(3 * kana.size(), std::string(output).size());
    const std::string too_long(OEM_PASSWORD_MAX_UNITS, 'z');
    EXPECT_FALSE(oem_to_utf8(too_long.data(), too_long.size(), output));
}

}  // namespace
