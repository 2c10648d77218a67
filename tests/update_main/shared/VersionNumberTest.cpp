#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "environment/VersionNumber.h"

namespace {

struct ParseCase {
    const wchar_t* text;
    std::vector<int> parts;
};

const ParseCase kParseCases[] = {
    {L"", {0}},
    {L"1.2.", {1, 2, 0}},
    {L"1.x.3", {1, 0, 3}},
    {L"6.01", {6, 1}},
    {L"1..2", {1, 0, 2}},
    {L"2.0.10", {2, 0, 10}},
    {L"-1.5", {-1, 5}},
    {L"3a.4", {0, 4}},
    {L".", {0, 0}},
    // Beyond 32 bits a part is clamped as wcstol clamps it, so it stays
    // above (or below) every part that fits.
    {L"2147483647", {INT_MAX}},
    {L"2147483648", {INT_MAX}},
    {L"99999999999", {INT_MAX}},
    {L"1.99999999999999999999999", {1, INT_MAX}},
    {L"-2147483648", {INT_MIN}},
    {L"-2147483649", {INT_MIN}},
    {L"-99999999999.3", {INT_MIN, 3}},
    {L"99999999999x", {0}},
};

TEST(VersionNumber, SplitsAtEveryDotAndKeepsTheText) {
    for (const ParseCase& c : kParseCases) {
        const VersionNumber version(c.text);
        EXPECT_EQ(version.parts(), c.parts) << "text " << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(version.text(), c.text);
    }
}

struct CompareCase {
    const wchar_t* left;
    const wchar_t* right;
    bool less;
};

const CompareCase kCompareCases[] = {
    {L"1.2", L"1.2.1", true},
    {L"1.2.0", L"1.2", false},
    {L"1.2", L"1.2.0", false},
    {L"1.10", L"1.9", false},
    {L"1.9", L"1.10", true},
    {L"2.0.1", L"2.0.10", true},
    {L"2.1", L"2.1.0", false},
    {L"", L"0.0.1", true},
    {L"", L"0", false},
    {L"1.2.3", L"1.2", false},
    {L"10", L"9.99", false},
    {L"-1", L"0", true},
    {L"6.1", L"6.2", true},
    {L"6.1", L"10.0", true},
    {L"6.1", L"6.1", false},
    {L"2.0", L"99999999999", true},
    {L"99999999999", L"2.0", false},
    {L"1.2147483647", L"1.99999999999", false},
    {L"-99999999999", L"-5", true},
};

TEST(VersionNumber, ComparesNumberByNumberPaddedWithZeros) {
    for (const CompareCase& c : kCompareCases)
        EXPECT_EQ(VersionNumber(c.left) < VersionNumber(c.right), c.less)
            << testing::PrintToString(std::wstring(c.left)) << " < "
            << testing::PrintToString(std::wstring(c.right));
}

TEST(VersionNumber, FromNumbersPrintsThemJoinedWithDots) {
    const int numbers[] = {6, 1};
    const VersionNumber version(numbers, numbers + 2);
    EXPECT_EQ(version.text(), L"6.1");
    EXPECT_EQ(version.parts(), (std::vector<int>{6, 1}));
    EXPECT_FALSE(VersionNumber(L"6.1") < version);
    EXPECT_FALSE(version < VersionNumber(L"6.1"));

    EXPECT_EQ(JoinVersionParts(numbers, numbers), L"");
    const int negative[] = {10, -2, 0};
    EXPECT_EQ(JoinVersionParts(negative, negative + 3), L"10.-2.0");
}

TEST(SplitAtFirst, GivesHeadAndRestAroundTheFirstDelimiter) {
    struct Case {
        const wchar_t* text;
        int position;
        const wchar_t* head;
        const wchar_t* rest;
    };
    const Case cases[] = {
        {L"6.2.1", 1, L"6", L"2.1"},
        {L".x", 0, L"", L"x"},
        {L"a.", 1, L"a", L""},
        // No delimiter: the rest keeps what the caller had in it.
        {L"6", -1, L"6", L"kept"},
        {L"", -1, L"", L"kept"},
    };
    for (const Case& c : cases) {
        std::wstring head = L"old";
        std::wstring rest = L"kept";
        EXPECT_EQ(SplitAtFirst(c.text, L'.', head, rest), c.position);
        EXPECT_EQ(head, c.head);
        EXPECT_EQ(rest, c.rest);
    }
}

}  // namespace
