#pragma once
// What every dialog with a message and the support link has in common: the
// application icon, the message text (control 1000), the link (control 1101)
// and a place at the top of the z-order without taking the focus away.
#include "dialogs/LinkStatic.h"
#include "framework/framework.h"

class LinkedMessageDialog : public CDialog {
public:
    explicit LinkedMessageDialog(UINT templateId);

    CString m_message;
    CString m_linkAddress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void SetDialogIcons();

    HICON m_hIcon;
    CLinkStatic m_link;
};
