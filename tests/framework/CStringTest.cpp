#include <gtest/gtest.h>

#include "framework/CString.h"

TEST(CString, NarrowTextIsReadInTheJapaneseCodePage) {
    // "更新" in code page 932
    EXPECT_EQ(CString("\x8d\x58\x90\x56"), CString(L"更新"));
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    // With a length, a NUL is a character like the others.
    EXPECT_EQ(CString("\x8d\x58\0\x90\x56", 5).str(), std::wstring(L"更\0新", 3));
    EXPECT_TRUE(CString("x", 0).IsEmpty());
}

TEST(CString, FindAndSlicesStayInsideTheText) {
    const CString text = L"K500)。";
    EXPECT_EQ(text.Find(L')'), 4);
    EXPECT_EQ(text.Find(L')', 5), -1);
    EXPECT_EQ(text.Find(L"00"), 2);
    EXPECT_EQ(text.Find(L"x", 99), -1);
    EXPECT_EQ(text.Left(2), CString(L"K5"));
    EXPECT_EQ(text.Left(99), text);
    EXPECT_EQ(text.Mid(4), CString(L")。"));
    EXPECT_EQ(text.Mid(1, 2), CString(L"50"));
    EXPECT_EQ(text.Mid(9, 2), CString());
}

TEST(CString, EditsReportWhatTheyDid) {
    CString text = L"a(b)c";
    EXPECT_EQ(text.Insert(4, L"!"), 6);
    EXPECT_EQ(text, CString(L"a(b)!c"));
    EXPECT_EQ(text.Delete(3), 5);
    EXPECT_EQ(text, CString(L"a(b!c"));
    EXPECT_EQ(text.Delete(99), 5);

    CString marks = L"x(NL)y(NL)";
    EXPECT_EQ(marks.Replace(L"(NL)", L"\n"), 2);
    EXPECT_EQ(marks, CString(L"x\ny\n"));
    // A replacement that contains what it replaces is not replaced again.
    CString grow = L"aa";
    EXPECT_EQ(grow.Replace(L"a", L"aa"), 2);
    EXPECT_EQ(grow, CString(L"aaaa"));

    CString spaced = L" \t 値 \r\n";
    EXPECT_EQ(spaced.Trim(), CString(L"値"));
    CString blank = L"   ";
    EXPECT_TRUE(blank.Trim().IsEmpty());
    CString dots = L"1.2.3";
    EXPECT_EQ(dots.Remove(L'.'), 2);
    EXPECT_EQ(dots, CString(L"123"));
}

TEST(CString, FormatTakesWideAndNarrowArgumentsAndLongResults) {
    CString text;
    text.Format(L"%ls:%hs:%d", L"幅", "narrow", -5);
    EXPECT_EQ(text, CString(L"幅:narrow:-5"));

    const std::wstring longText(5000, L'x');
    text.Format(L"[%ls]", longText.c_str());
    EXPECT_EQ(text.GetLength(), 5002);
}

TEST(CString, BufferAccessForWin32Calls) {
    CString text;
    wchar_t* buffer = text.GetBuffer(MAX_PATH);
    const DWORD length = GetEnvironmentVariableW(L"SystemRoot", buffer, MAX_PATH);
    text.ReleaseBuffer();
    ASSERT_GT(length, 0u);
    EXPECT_EQ(text.GetLength(), static_cast<int>(length));

    CString kept = L"abcdef";
    kept.GetBuffer(3);
    kept.ReleaseBuffer(2);
    EXPECT_EQ(kept, CString(L"ab"));
}
