#pragma once
// The yes / no question; both button captions can be replaced.
#include "dialogs/LinkedMessageDialog.h"

class VelmoUpgradeToolDlg_Ask : public LinkedMessageDialog {
public:
    VelmoUpgradeToolDlg_Ask();

    // Null keeps the template's caption ("はい" / "いいえ").
    const wchar_t* m_okCaption = nullptr;
    const wchar_t* m_cancelCaption = nullptr;

protected:
    BOOL OnInitDialog() override;
};
