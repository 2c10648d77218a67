#include "messages/UserMessages.h"

#include <iterator>

namespace {

struct ErrorForm {
    ErrorNumber number;
    const wchar_t* prefix;
    const wchar_t* cause;
    const wchar_t* suffix;  // each number written out whole, as users quote it
    const wchar_t* footer;
};

constexpr wchar_t kNone[] = L"";

constexpr ErrorForm kErrorForms[] = {
    {K502, kNone, L"サーバーからの応答がありませんでした", L"(エラー：K502)。", SUPPORT_FOOTER},
    {K600, ERROR_PREFIX, UPDATE_INFO_TEXT, L"(エラー：K600)。", SUPPORT_FOOTER},
    {K601, ERROR_PREFIX, UPDATE_INFO_TEXT, L"(エラー：K601)。", SUPPORT_FOOTER},
    {K603, ERROR_PREFIX, UPDATE_INFO_TEXT, L"(エラー：K603)。", SUPPORT_FOOTER},
    {K604, ERROR_PREFIX, UPDATE_INFO_TEXT, L"(エラー：K604)。", SUPPORT_FOOTER},
    {K703, kNone, L"「Velmoご利用ソフト」のインストールに失敗しました", L"(エラー：K703)。", SUPPORT_FOOTER},
    {K806, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K806)。", SUPPORT_FOOTER},
    {K807, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K807)。", SUPPORT_FOOTER},
    {K808, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K808)。", SUPPORT_FOOTER},
    {K809, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K809)。", SUPPORT_FOOTER},
    {K810, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K810)。", SUPPORT_FOOTER},
    {K812, kNone, REPAIR_TEXT, L"(エラー：K812)。", SUPPORT_FOOTER},
    {K818, ERROR_PREFIX, REPAIR_TEXT, L"(エラー：K818)。", SUPPORT_FOOTER},
    {K900, ERROR_PREFIX, ENV_INFO_TEXT, L"(エラー：K900)。", SUPPORT_FOOTER},
    {K901, ERROR_PREFIX, ENV_INFO_TEXT, L"(エラー：K901)。", SUPPORT_FOOTER},
    {K902, kNone, ENV_INFO_TEXT, L"(エラー：K902)。", kNone},
};

constexpr const wchar_t* kDownloadFailures[] = {
    L"更新情報を取得できませんでした(エラー：K500)。",
    L"更新情報を取得できませんでした(エラー：K503)。",
    L"更新情報を取得できませんでした(エラー：K504)。",
    L"更新情報を取得できませんでした(エラー：K505)。",
};

}  // namespace

CString ErrorText(ErrorNumber number) {
    for (const ErrorForm& form : kErrorForms) {
        if (form.number == number) return CString(form.prefix) + form.cause + form.suffix + form.footer;
    }
    return CString();
}

CString DownloadErrorText(int failedIndex, int detailCode) {
    const int last = static_cast<int>(std::size(kDownloadFailures)) - 1;
    const int index = failedIndex >= 0 && failedIndex < last ? failedIndex : last;
    return ERROR_PREFIX + InsertDetailCode(kDownloadFailures[index], detailCode) + SUPPORT_FOOTER;
}

CString AllowedUrlListErrorText(bool withFooter) {
    CString text = L"許可URLリストの更新に失敗しました。\n(エラー：K704)。";
    if (withFooter) text += SUPPORT_FOOTER;
    return text;
}

CString InsertDetailCode(const CString& message, int code) {
    CString detail;
    detail.Format(L" , 詳細コード：%d", code);
    CString result = message;
    const int close = result.Find(L')');
    // The code is what support asks for: never dropped, at the end when
    // there is no bracket to close it.
    if (close < 0) return result + detail;
    result.Insert(close, detail);
    return result;
}

CString UpdateFailedText(bool rootCert, bool auxApp) {
    CString text;
    if (rootCert) text += L"ルート証明書の更新に失敗しました。";
    if (rootCert && auxApp) text += L"\n";
    if (auxApp) text += L"電子入札補助アプリの更新に失敗しました。";
    return text + SUPPORT_FOOTER;
}

CString AuxAppQuestionText(const CString& currentVersion, const CString& newVersion) {
    return CString(L"電子入札補助アプリの新しいバージョンをダウンロードします。\n\n現在のバージョン：") +
           currentVersion + L"\n新しいバージョン：" + newVersion;
}
