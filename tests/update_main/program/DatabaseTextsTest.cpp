// The database's text helpers: the check of uninstall command texts, and the
// lengths the exchange file's readers take.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "rules/UpdateDatabase.h"
#include "support/temp_folder.h"

namespace {

TEST(CheckCommandText, RefusesWhatWouldBendTheMsiExecCommand) {
    const struct {
        std::wstring text;
        bool accepted;
    } cases[] = {
        {L"/x {6B0F4A5E-3C1D-4B8E-9A2F-620000000000} /qn", true},
        {L"/x {A} /l*v C:\\ログ\\ポリシー.log", true},
        {L"", true},
        {L"/x {A}>log", false},
        {L"|", false},
        {L"a&b", false},
        {L"<in", false},
        {L"/x {A};/i other.msi", false},
        {L"/x \"{A}\"", false},
        {L"/x {A}\n/qn", false},
        {L"/x {A}\r", false},
        {L"\t/x {A}", false},
        {std::wstring(L"/x {A}") + L'\0', false},
        {L"/x {A}\x1b", false},
        {L"/x {A}\x7f", false},
        {L"/x {A}\x85", false},
        {std::wstring(kMaxExchangeTextChars, L'x'), true},
        {std::wstring(kMaxExchangeTextChars + 1, L'x'), false},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckCommandText(c.text), c.accepted) << testing::PrintToString(c.text);
}

// What the secondary program's profile reads get back of a value written
// whole: a 260-character buffer holds the longest title and command, and
// the longest URL in its double quotes; a 2600-character one the longest
// list.
TEST(ExchangeTextLimits, TheLongestAcceptedTextsArriveWhole) {
    testing_support::TempFolder folder;
    const std::wstring ini = folder / L"VelmoUpgradeData.ini";
    auto roundTrip = [&ini](const std::wstring& written, DWORD buffer) {
        EXPECT_TRUE(WritePrivateProfileStringW(L"Command", L"value", written.c_str(), ini.c_str()));
        std::wstring read(buffer, L'\0');
        const DWORD length = GetPrivateProfileStringW(L"Command", L"value", L"", &read[0], buffer, ini.c_str());
        return read.substr(0, length);
    };
    const std::wstring longest(kMaxExchangeTextChars, L'u');
    EXPECT_EQ(roundTrip(longest, 260), longest);
    EXPECT_EQ(roundTrip(longest + L"u", 260), longest) << "one more is cut";
    const std::wstring url(kMaxUrlChars, L'h');
    EXPECT_EQ(roundTrip(L"\"" + url + L"\"", 260), url);
    const std::wstring list(kMaxJoinedCommandsChars, L'c');
    EXPECT_EQ(roundTrip(list, 2600), list);
    EXPECT_EQ(roundTrip(list + L"c", 2600), list) << "one more is cut";
}

}  // namespace
