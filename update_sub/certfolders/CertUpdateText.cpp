#include "certfolders/CertUpdateText.h"

CString CertUpdateText(bool updated) {
    if (updated) return L"ルート証明書を更新しました。";
    return L"ルート証明書の更新に失敗しました。\n「Velmoご利用ソフト」のファイルを更新できませんでした。(エラー：K704)。";
}
