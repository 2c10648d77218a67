#pragma once
// Everything the main program tells the user: the building blocks, the error
// texts by number (K and three digits) and the texts without a number.
#include "framework/CString.h"

inline constexpr wchar_t ERROR_PREFIX[] = L"更新確認中にエラーが発生しました。\n";
inline constexpr wchar_t REPAIR_TEXT[] = L"「Velmoご利用ソフト更新ツール」に問題があり、修復する必要があります";
inline constexpr wchar_t ENV_INFO_TEXT[] = L"利用環境情報を取得できませんでした";
inline constexpr wchar_t UPDATE_INFO_TEXT[] = L"更新情報を正しく取得できませんでした";
inline constexpr wchar_t SUPPORT_FOOTER[] =
    L"\n詳細は以下リンクの「Q05-04 『ご利用ソフト更新ツール』 エラー番号ごとの対応方法」をご参照ください。\n";
// The support page behind the link of every dialog.
inline constexpr wchar_t SUPPORT_URL[] = L"https://support.zrv.co.jp/velmo/faq/q05-04.html";

// Error numbers whose text is fixed. The download failures (K500, K503, K504,
// K505) carry a detail code: DownloadErrorText. K704 depends on the run
// mode: AllowedUrlListErrorText.
enum ErrorNumber {
    K502 = 502,
    K600 = 600,
    K601 = 601,
    K603 = 603,
    K604 = 604,
    K703 = 703,
    K806 = 806,
    K807 = 807,
    K808 = 808,
    K809 = 809,
    K810 = 810,
    K812 = 812,
    K818 = 818,
    K900 = 900,
    K901 = 901,
    K902 = 902,
};

// The whole text of an error, ready to show.
CString ErrorText(ErrorNumber number);
// A failed download, by the list position of the failing file (0: K500,
// 1: K503, 2: K504, later: K505), with its detail code.
CString DownloadErrorText(int failedIndex, int detailCode);
// The allowed-URL list could not be installed; the support footer only in the
// ordinary update check.
CString AllowedUrlListErrorText(bool withFooter);

// Puts " , 詳細コード：" + code before the first ")" of the message, which
// then closes the detail; appends it when the message has no ")".
CString InsertDetailCode(const CString& message, int code);

// Texts without a number.
inline constexpr wchar_t ALREADY_RUNNING_TEXT[] = L"更新ツールは既に起動しています。";
inline constexpr wchar_t DOWNLOAD_CANCELLED_TEXT[] = L"更新情報取得をキャンセルしました。";
inline constexpr wchar_t INSTALL_CANCELLED_TEXT[] = L"「Velmoご利用ソフト」のインストールを中止しました。";
inline constexpr wchar_t AUX_APP_DECLINED_TEXT[] = L"補助アプリの新しいバージョンのインストールがキャンセルされました。";
inline constexpr wchar_t ADMIN_REQUIRED_TEXT[] =
    L"インストールには管理者権限が必要です。[はい]を押下した次の画面で[次のユーザ]を選択し、"
    L"管理者のユーザ名・パスワードを入力してください。[いいえ]を押下するとプログラムを終了します。";
inline constexpr wchar_t ROOT_CERT_QUESTION_TEXT[] =
    L"Velmoご利用ソフトの更新を行います。\n\n更新内容：\n　・ルート証明書の更新";
inline constexpr wchar_t ROOT_CERT_OK_CAPTION[] = L"更新";
inline constexpr wchar_t AUX_APP_OK_CAPTION[] = L"OK";
inline constexpr wchar_t CANCEL_CAPTION[] = L"キャンセル";
inline constexpr wchar_t PROGRESS_STATUS_TEXT[] = L"更新情報を取得しています。";
inline constexpr wchar_t VELMO_TITLE[] = L"Velmoご利用ソフト";

// What could not be updated because the secondary program did not start:
// the root certificates, the auxiliary application or both, the root
// certificates first, each on a line of its own, then the support footer.
CString UpdateFailedText(bool rootCert, bool auxApp);
// The question before an update of the auxiliary application.
CString AuxAppQuestionText(const CString& currentVersion, const CString& newVersion);
