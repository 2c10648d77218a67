#pragma once
// Asks for the proxy user name and password. It has no parent window: the
// download worker thread runs it.
#include <atomic>

#include "framework/framework.h"

class VelmoUpgradeToolDlg_Proxy : public CDialog {
public:
    VelmoUpgradeToolDlg_Proxy();

    CString m_proxy;
    CString m_realm;
    CString m_userName;
    CString m_password;
    CString m_note;
    // The stop flag of the request that asks; once it is set, the dialog
    // ends as it opens.
    const std::atomic<bool>* m_stopped = nullptr;

    // Longest user name or password the hand-over block can keep.
    static constexpr int kMaxCredentialLength = 255;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    HICON m_hIcon;
};
