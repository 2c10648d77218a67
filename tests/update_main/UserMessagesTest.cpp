#include <gtest/gtest.h>

#include "UserMessages.h"

TEST(InsertDetailCode, PutsTheCodeBeforeTheFirstClosingParenthesis) {
    EXPECT_EQ(InsertDetailCode(L"a(エラー：K500)。(x)", 12029), CString(L"a(エラー：K500 , 詳細コード：12029)。(x)"));
}
