#include "messages/SubMessages.h"

#include "messages/UserMessages.h"

namespace {

constexpr wchar_t kNone[] = L"";
constexpr wchar_t kInstallFailed[] = L"「Velmoご利用ソフト」のインストールに失敗しました";
constexpr wchar_t kInstallFailedLine[] = L"「Velmoご利用ソフト」のインストールに失敗しました。\n";

struct SubErrorForm {
    SubError error;
    const wchar_t* prefix;
    const wchar_t* cause;
    const wchar_t* code;
};

constexpr SubErrorForm kSubErrorForms[] = {
    {SubError::K602, kNone, L"「Velmoご利用ソフト」のダウンロードに失敗しました", L"(エラー：K602)。"},
    {SubError::K605, kNone, kNone, L"(エラー：K605)。"},
    {SubError::K606, kNone, kNone, L"(エラー：K606)。"},
    {SubError::K700, L"インストールには管理者権限が必要です。\n", L"インストールを中止します", L"(エラー：K700)。"},
    {SubError::K701, kNone, kInstallFailed, L"(エラー：K701)。"},
    {SubError::K814, kInstallFailedLine, REPAIR_TEXT, L"(エラー：K814)。"},
    {SubError::K818, kInstallFailedLine, REPAIR_TEXT, L"(エラー：K818)。"},
};

constexpr wchar_t kClientDownloadFailed[] = L"「Velmoご利用ソフト」のダウンロードに失敗しました(エラー：K501)。";
constexpr wchar_t kAuxAppDownloadFailed[] = L"「電子入札補助アプリ」のダウンロードに失敗しました(エラー：K506)。";

}  // namespace

CString SubErrorText(SubError error) {
    for (const SubErrorForm& form : kSubErrorForms) {
        if (form.error == error) return CString(form.prefix) + form.cause + form.code + SUPPORT_FOOTER;
    }
    return CString();
}

CString SubDownloadFailedText(bool clientUpdateDue, int detailCode) {
    return InsertDetailCode(clientUpdateDue ? kClientDownloadFailed : kAuxAppDownloadFailed, detailCode) +
           SUPPORT_FOOTER;
}

CString ClientInstalledText(const OptionToolProbe& probe, bool stateWritten) {
    return L"「Velmoご利用ソフト」がインストールされました。" + NotCarriedOverText(probe, stateWritten);
}

CString NotCarriedOverText(const OptionToolProbe& probe, bool stateWritten) {
    const bool lost = !probe.iniCopied || !probe.propertiesSaved || !stateWritten;
    if (!probe.zavaZuvazFound || !lost) return CString();
    return L"\nただし以下の情報を引き継げませんでした。\n・リポジトリ接続プロトコル設定"
           L"\n[スタートメニュー]から上記ツールを起動し設定をご確認ください。";
}

CString UninstallFailedText() {
    return CString(L"「Velmoご利用ソフト」のアンインストールに失敗しました(エラー：K702)。") + SUPPORT_FOOTER;
}

CString RefusedOrdersText(const std::vector<std::wstring>& refused) {
    if (refused.empty()) return CString();
    CString text = L"\n次のアンインストール指示は正しくないため実行しませんでした。";
    for (const std::wstring& order : refused) text += L"\n・" + CString(order);
    return text;
}
