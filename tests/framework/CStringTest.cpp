#include <gtest/gtest.h>

#include "framework/CString.h"

TEST(CString, NarrowTextIsReadInTheJapaneseCodePage) {
    // "更新" in code page 932
    EXPECT_EQ(CString("\x8d\x58\x90\x56"), CString(L"更新"));
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
}
