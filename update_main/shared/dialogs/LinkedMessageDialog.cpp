#include "dialogs/LinkedMessageDialog.h"

#include "res/resource.h"

LinkedMessageDialog::LinkedMessageDialog(UINT templateId)
    : CDialog(templateId), m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void LinkedMessageDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_MESSAGE, m_message);
    DDX_Control(dx, IDC_LINK, m_link);
    DDX_Text(dx, IDC_LINK, m_linkAddress);
}

void LinkedMessageDialog::SetDialogIcons() {
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
}

BOOL LinkedMessageDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDialogIcons();
    // Raised above other windows but not activated, so that a user typing
    // elsewhere does not answer the dialog by accident.
    SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    return TRUE;
}
