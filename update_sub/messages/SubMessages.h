#pragma once
// What only the secondary program tells the user. The building blocks (the
// support footer, the repair text, the detail code) are the shared ones.
#include <string>
#include <vector>

#include "framework/CString.h"
#include "install/OptionTools.h"

// The errors whose text is fixed, each written out whole, as users quote it.
enum class SubError {
    K602,  // the client setup is not signed by the maker
    K605,  // the auxiliary application's setup is not signed by its publisher
    K606,  // its MSI package is not signed by its publisher
    K700,  // no administrator
    K701,  // the client is not installed after all
    K814,  // nothing to do: the tool was started without orders
    K818,  // the DLL search could not be hardened
};

// The whole text of the error, ready to show.
CString SubErrorText(SubError error);

// A download that did not fetch every file, with the dialog's error code as
// detail: K501 while a client update was due, else K506.
CString SubDownloadFailedText(bool clientUpdateDue, int detailCode);

inline constexpr wchar_t SUB_DOWNLOAD_CANCELLED_TEXT[] = L"「Velmoご利用ソフト」のダウンロードをキャンセルしました。";
inline constexpr wchar_t CLIENT_DOWNLOAD_STATUS_TEXT[] = L"「Velmoご利用ソフト」のダウンロードを開始します。";
inline constexpr wchar_t AUX_APP_DOWNLOAD_STATUS_TEXT[] = L"「電子入札補助アプリ」のダウンロードを開始します。";

// The new client is installed, with what could not be carried over.
CString ClientInstalledText(const OptionToolProbe& probe, bool stateWritten);

// What the ZavaZuvaz pack's user must set again: its settings are lost when
// the pack is installed and one of the carry-over steps failed. Empty
// otherwise; the e-Tax tool plays no part.
CString NotCarriedOverText(const OptionToolProbe& probe, bool stateWritten);

// The old client could not be removed, so the new one was not installed
// (K702), with the support footer.
CString UninstallFailedText();

// The uninstall orders that were not carried out, one to a line, to follow
// the closing message; empty when there were none.
CString RefusedOrdersText(const std::vector<std::wstring>& refused);
