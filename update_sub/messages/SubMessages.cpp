#include "messages/SubMessages.h"

#include "messages/UserMessages.h"

CString UninstallFailedText() {
    return CString(L"「Velmoご利用ソフト」のアンインストールに失敗しました(エラー：K702)。") + SUPPORT_FOOTER;
}

CString RefusedOrdersText(const std::vector<std::wstring>& refused) {
    if (refused.empty()) return CString();
    CString text = L"\n次のアンインストール指示は正しくないため実行しませんでした。";
    for (const std::wstring& order : refused) text += L"\n・" + CString(order);
    return text;
}
