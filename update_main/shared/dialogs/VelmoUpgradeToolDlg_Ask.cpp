#include "dialogs/VelmoUpgradeToolDlg_Ask.h"

#include "res/resource.h"

VelmoUpgradeToolDlg_Ask::VelmoUpgradeToolDlg_Ask() : LinkedMessageDialog(IDD_ASK) {}

BOOL VelmoUpgradeToolDlg_Ask::OnInitDialog() {
    LinkedMessageDialog::OnInitDialog();
    if (m_okCaption) ::SetDlgItemTextW(m_hWnd, IDOK, m_okCaption);
    if (m_cancelCaption) ::SetDlgItemTextW(m_hWnd, IDCANCEL, m_cancelCaption);
    return TRUE;
}
