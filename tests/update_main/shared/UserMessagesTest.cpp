#include <gtest/gtest.h>

#include "messages/UserMessages.h"

namespace {
// Written out whole here, independently of how the code assembles them.
const wchar_t kFooter[] =
    L"\n詳細は以下リンクの「Q05-04 『ご利用ソフト更新ツール』 エラー番号ごとの対応方法」をご参照ください。\n";
const std::wstring kPrefix = L"更新確認中にエラーが発生しました。\n";
const std::wstring kRepair = L"「Velmoご利用ソフト更新ツール」に問題があり、修復する必要があります";
const std::wstring kEnv = L"利用環境情報を取得できませんでした";
const std::wstring kInfo = L"更新情報を正しく取得できませんでした";
}  // namespace

TEST(UserMessages, EveryNumberedTextIsExact) {
    const struct {
        ErrorNumber number;
        std::wstring text;
    } table[] = {
        {K502, L"サーバーからの応答がありませんでした(エラー：K502)。" + std::wstring(kFooter)},
        {K600, kPrefix + kInfo + L"(エラー：K600)。" + kFooter},
        {K601, kPrefix + kInfo + L"(エラー：K601)。" + kFooter},
        {K603, kPrefix + kInfo + L"(エラー：K603)。" + kFooter},
        {K604, kPrefix + kInfo + L"(エラー：K604)。" + kFooter},
        {K703, L"「Velmoご利用ソフト」のインストールに失敗しました(エラー：K703)。" + std::wstring(kFooter)},
        {K806, kPrefix + kRepair + L"(エラー：K806)。" + kFooter},
        {K807, kPrefix + kRepair + L"(エラー：K807)。" + kFooter},
        {K808, kPrefix + kRepair + L"(エラー：K808)。" + kFooter},
        {K809, kPrefix + kRepair + L"(エラー：K809)。" + kFooter},
        {K810, kPrefix + kRepair + L"(エラー：K810)。" + kFooter},
        {K812, kRepair + L"(エラー：K812)。" + kFooter},
        {K818, kPrefix + kRepair + L"(エラー：K818)。" + kFooter},
        {K900, kPrefix + kEnv + L"(エラー：K900)。" + kFooter},
        {K901, kPrefix + kEnv + L"(エラー：K901)。" + kFooter},
        {K902, kEnv + L"(エラー：K902)。"},
    };
    for (const auto& row : table) EXPECT_EQ(ErrorText(row.number).str(), row.text) << "K" << row.number;
}

TEST(UserMessages, DownloadFailuresCarryTheDetailCodeByListPosition) {
    const auto expected = [](const wchar_t* number, const wchar_t* digits) {
        return kPrefix + L"更新情報を取得できませんでした(エラー：" + number + L" , 詳細コード：" + digits + L")。" +
               kFooter;
    };
    EXPECT_EQ(DownloadErrorText(0, 12029).str(), expected(L"K500", L"12029"));
    EXPECT_EQ(DownloadErrorText(1, 404).str(), expected(L"K503", L"404"));
    EXPECT_EQ(DownloadErrorText(2, 0).str(), expected(L"K504", L"0"));
    EXPECT_EQ(DownloadErrorText(3, -1).str(), expected(L"K505", L"-1"));
    EXPECT_EQ(DownloadErrorText(7, 2147483647).str(), expected(L"K505", L"2147483647"));
    EXPECT_EQ(DownloadErrorText(-1, -2147483647 - 1).str(), expected(L"K505", L"-2147483648"));
}

TEST(UserMessages, AllowedUrlListFailureHasTheFooterOnlyWhenAsked) {
    EXPECT_EQ(AllowedUrlListErrorText(false).str(), L"許可URLリストの更新に失敗しました。\n(エラー：K704)。");
    EXPECT_EQ(AllowedUrlListErrorText(true).str(),
              L"許可URLリストの更新に失敗しました。\n(エラー：K704)。" + std::wstring(kFooter));
}

TEST(UserMessages, TextsWithoutNumber) {
    EXPECT_STREQ(ALREADY_RUNNING_TEXT, L"更新ツールは既に起動しています。");
    EXPECT_STREQ(DOWNLOAD_CANCELLED_TEXT, L"更新情報取得をキャンセルしました。");
    EXPECT_STREQ(INSTALL_CANCELLED_TEXT, L"「Velmoご利用ソフト」のインストールを中止しました。");
    EXPECT_STREQ(AUX_APP_DECLINED_TEXT, L"補助アプリの新しいバージョンのインストールがキャンセルされました。");
    EXPECT_STREQ(ADMIN_REQUIRED_TEXT,
                 L"インストールには管理者権限が必要です。[はい]を押下した次の画面で[次のユーザ]を選択し、管理者のユーザ名・"
                 L"パスワードを入力してください。[いいえ]を押下するとプログラムを終了します。");
    EXPECT_STREQ(ROOT_CERT_QUESTION_TEXT, L"Velmoご利用ソフトの更新を行います。\n\n更新内容：\n　・ルート証明書の更新");
    EXPECT_STREQ(PROGRESS_STATUS_TEXT, L"更新情報を取得しています。");
    EXPECT_STREQ(VELMO_TITLE, L"Velmoご利用ソフト");
    EXPECT_EQ(UpdateFailedText(true, false).str(), L"ルート証明書の更新に失敗しました。" + std::wstring(kFooter));
    EXPECT_EQ(UpdateFailedText(false, true).str(), L"電子入札補助アプリの更新に失敗しました。" + std::wstring(kFooter));
    EXPECT_EQ(UpdateFailedText(true, true).str(),
              L"ルート証明書の更新に失敗しました。\n電子入札補助アプリの更新に失敗しました。" + std::wstring(kFooter));
    EXPECT_EQ(AuxAppQuestionText(L"1.0.0", L"1.1.0").str(),
              L"電子入札補助アプリの新しいバージョンをダウンロードします。\n\n現在のバージョン：1.0.0\n新しいバージョン：1.1.0");
}

TEST(InsertDetailCode, ClosesTheDetailWithTheFirstParenthesisOrAppendsIt) {
    struct Case {
        const wchar_t* message;
        int code;
        const wchar_t* detailed;
    };
    const Case cases[] = {
        {L"a(エラー：K500)。(x)", 12029, L"a(エラー：K500 , 詳細コード：12029)。(x)"},
        {L")", 0, L" , 詳細コード：0)"},
        {L"(K505))", -1, L"(K505 , 詳細コード：-1))"},
        {L"no parenthesis", 5, L"no parenthesis , 詳細コード：5"},
        {L"(エラー：K500。", 12007, L"(エラー：K500。 , 詳細コード：12007"},
        {L"", 0, L" , 詳細コード：0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertDetailCode(c.message, c.code), CString(c.detailed))
            << testing::PrintToString(std::wstring(c.message));
}
