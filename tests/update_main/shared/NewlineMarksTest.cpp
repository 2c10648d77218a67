// The "(NL)" marks of the rule database's texts and the exchange file.
#include <gtest/gtest.h>

#include <string>

#include "messages/NewlineMarks.h"

namespace {

TEST(ExpandNewlineMarks, ReplacesEveryMark) {
    const struct {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {
        {L"", L""},
        {L"(NL)", L"\n"},
        {L"(NL)更新(NL)", L"\n更新\n"},
        {L"一行目(NL)二行目(NL)(NL)四行目", L"一行目\n二行目\n\n四行目"},
        {L"((NL)NL)", L"(\nNL)"},
        {L"(nl)(NL(N L)", L"(nl)(NL(N L)"},
        {L"末尾(NL", L"末尾(NL"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandNewlineMarks(c.text), c.expanded) << testing::PrintToString(std::wstring(c.text));
}

}  // namespace
