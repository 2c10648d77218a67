// The secondary program's texts as the user reads and quotes them.
#include <gtest/gtest.h>

#include <string>

#include "messages/SubMessages.h"

namespace {

const std::wstring kFooter =
    L"\n詳細は以下リンクの「Q05-04 『ご利用ソフト更新ツール』 エラー番号ごとの対応方法」をご参照ください。\n";
const std::wstring kRepair = L"「Velmoご利用ソフト」のインストールに失敗しました。\n"
                             L"「Velmoご利用ソフト更新ツール」に問題があり、修復する必要があります";

TEST(SubMessages, ErrorTexts) {
    const struct {
        SubError error;
        std::wstring text;
    } cases[] = {
        {SubError::K602, L"「Velmoご利用ソフト」のダウンロードに失敗しました(エラー：K602)。" + kFooter},
        {SubError::K605, L"(エラー：K605)。" + kFooter},
        {SubError::K606, L"(エラー：K606)。" + kFooter},
        {SubError::K700, L"インストールには管理者権限が必要です。\nインストールを中止します(エラー：K700)。" + kFooter},
        {SubError::K701, L"「Velmoご利用ソフト」のインストールに失敗しました(エラー：K701)。" + kFooter},
        {SubError::K814, kRepair + L"(エラー：K814)。" + kFooter},
        {SubError::K818, kRepair + L"(エラー：K818)。" + kFooter},
    };
    for (const auto& c : cases) EXPECT_EQ(SubErrorText(c.error).str(), c.text);
}

TEST(SubMessages, DownloadFailureNamesWhatWasDueWithTheDetailCode) {
    EXPECT_EQ(SubDownloadFailedText(true, 404).str(),
              L"「Velmoご利用ソフト」のダウンロードに失敗しました(エラー：K501 , 詳細コード：404)。" + kFooter);
    EXPECT_EQ(SubDownloadFailedText(false, 12002).str(),
              L"「電子入札補助アプリ」のダウンロードに失敗しました(エラー：K506 , 詳細コード：12002)。" + kFooter);
}

TEST(SubMessages, WhatWasNotCarriedOverOnlyWhenTheZavaZuvazPackLostIt) {
    const std::wstring kLost = L"\nただし以下の情報を引き継げませんでした。\n・リポジトリ接続プロトコル設定"
                               L"\n[スタートメニュー]から上記ツールを起動し設定をご確認ください。";
    const struct {
        OptionToolProbe probe;  // iniCopied, propertiesSaved, zavaZuvazFound
        bool stateWritten;
        bool lost;
    } cases[] = {
        {{true, true, true}, true, false},    {{false, true, true}, true, true},
        {{true, false, true}, true, true},    {{true, true, true}, false, true},
        {{false, false, false}, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NotCarriedOverText(c.probe, c.stateWritten).str(), c.lost ? kLost : L"");
        EXPECT_EQ(ClientInstalledText(c.probe, c.stateWritten).str(),
                  L"「Velmoご利用ソフト」がインストールされました。" + (c.lost ? kLost : L""));
    }
}

}  // namespace
