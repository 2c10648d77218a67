#include "dialogs/MessageDialogs.h"

#include "dialogs/VelmoUpgradeToolDlg_Ask.h"
#include "dialogs/VelmoUpgradeToolDlg_Close_Small.h"
#include "messages/UserMessages.h"
#include "process/ProcessExit.h"

INT_PTR Ask(const CString& question, const wchar_t* okCaption) {
    VelmoUpgradeToolDlg_Ask dialog;
    dialog.m_message = question;
    dialog.m_linkAddress = SUPPORT_URL;
    dialog.m_okCaption = okCaption;
    dialog.m_cancelCaption = CANCEL_CAPTION;
    return dialog.DoModal();
}

void AskOrExit(const CString& question) {
    VelmoUpgradeToolDlg_Ask dialog;
    dialog.m_message = question;
    dialog.m_linkAddress = SUPPORT_URL;
    if (dialog.DoModal() == IDCANCEL) EndProcess(1);
}

INT_PTR ShowSmallClose(const CString& message) {
    VelmoUpgradeToolDlg_Close_Small dialog;
    dialog.m_message = message;
    dialog.m_linkAddress = SUPPORT_URL;
    return dialog.DoModal();
}

void ShowSmallCloseAndExit(const CString& message) {
    ShowSmallClose(message);
    EndProcess(1);
}
