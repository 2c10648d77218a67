#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qen_lib/text.h"

namespace text = qen_lib::text;
using Fields = std::vector<std::wstring>;

TEST(Text, WidenUsesTheJapaneseCodePage) {
    EXPECT_EQ(L"abc", text::widen("abc"));
    EXPECT_EQ(L"更新", text::widen("\x8d\x58\x90\x56"));
    EXPECT_EQ(L"", text::widen(""));
    EXPECT_EQ(L"", text::widen("ab\x81"));  // lead byte without its trail byte
}

TEST(Text, StartsWith) {
    EXPECT_TRUE(text::starts_with(L"abc", L""));
    EXPECT_TRUE(text::starts_with(L"abc", L"ab"));
    EXPECT_TRUE(text::starts_with(L"abc", L"abc"));
    EXPECT_FALSE(text::starts_with(L"abc", L"abcd"));
    EXPECT_FALSE(text::starts_with(L"abc", L"aB"));
    EXPECT_FALSE(text::starts_with(L"", L"a"));
}

TEST(Text, ToIntAcceptsOnlyAWholeNumberInRange) {
    const struct {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"-3", -3},          {L"12a", 7},           {L"", 7},
        {L" 42", 42},         {L"+5", 5},            {L"12 ", 7},
        {L"0x10", 7},         {L"abc", 7},           {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},           {L"2147483648", 7},
        {L"-2147483649", 7},  {L"99999999999999", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, text::to_int(c.text, 7)) << c.text;
}

TEST(Text, SplitByCharKeepsEmptyFields) {
    EXPECT_EQ((Fields{L"a", L"", L"b"}), text::split_by_char(L"a::b"));
    EXPECT_EQ((Fields{L"a", L""}), text::split_by_char(L"a:"));
    EXPECT_EQ((Fields{L""}), text::split_by_char(L""));
    EXPECT_EQ((Fields{L"", L"x"}), text::split_by_char(L":x"));
}

TEST(Text, SplitByStringSearchesLeftToRight) {
    EXPECT_EQ((Fields{L"10", L"2", L""}), text::split_by_string(L"10.2.", L"."));
    EXPECT_EQ((Fields{L"1", L"2", L"3", L"4"}), text::split_by_string(L"1.2.3.4", L"."));
    EXPECT_EQ((Fields{L"a", L"-b"}), text::split_by_string(L"a---b", L"--"));
    EXPECT_EQ((Fields{L""}), text::split_by_string(L"", L"."));
    EXPECT_EQ((Fields{L"", L"", L""}), text::split_by_string(L"..", L"."));
}
