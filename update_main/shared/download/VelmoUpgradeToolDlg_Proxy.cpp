#include "download/VelmoUpgradeToolDlg_Proxy.h"

#include "res/resource.h"

VelmoUpgradeToolDlg_Proxy::VelmoUpgradeToolDlg_Proxy()
    : CDialog(IDD_PROXY), m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void VelmoUpgradeToolDlg_Proxy::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_PROXY_SERVER, m_proxy);
    DDX_Text(dx, IDC_PROXY_REALM, m_realm);
    DDX_Text(dx, IDC_PROXY_USER, m_userName);
    DDX_Text(dx, IDC_PROXY_PASSWORD, m_password);
    DDX_Text(dx, IDC_PROXY_NOTE, m_note);
}

BOOL VelmoUpgradeToolDlg_Proxy::OnInitDialog() {
    // Stopped while this window was being made: nothing is asked for after
    // a stop.
    if (m_stopped && *m_stopped) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const HWND user = GetDlgItem(IDC_PROXY_USER);
    const HWND password = GetDlgItem(IDC_PROXY_PASSWORD);
    ::SendMessageW(user, EM_LIMITTEXT, kMaxCredentialLength, 0);
    ::SendMessageW(password, EM_LIMITTEXT, kMaxCredentialLength, 0);
    CDialog::OnInitDialog();

    ::SendMessageW(user, EM_SETSEL, 0, -1);
    ::SendMessageW(user, EM_SCROLLCARET, 0, 0);
    ::SetFocus(user);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // Run from a worker thread with no owner: it must not open behind the
    // window the user is looking at.
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetForegroundWindow();
    return FALSE;  // the focus is set
}
