#include "dialogs/VelmoUpgradeToolDlg.h"

#include "res/resource.h"

namespace {
constexpr COLORREF kMessageColor = 0x000000FF;  // red
}

CVelmoUpgradeToolDlg::CVelmoUpgradeToolDlg() : CVelmoUpgradeToolDlg(IDD_VELMOUPGRADETOOL_DIALOG) {}

CVelmoUpgradeToolDlg::CVelmoUpgradeToolDlg(UINT templateId) : LinkedMessageDialog(templateId) {}

void CVelmoUpgradeToolDlg::DoDataExchange(CDataExchange* dx) {
    LinkedMessageDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_NOTICE, m_notice);
    DDX_Control(dx, IDC_NOTICE, m_noticeCtrl);
    DDX_Text(dx, IDC_VERSION_LABEL, m_versionLabel);
    DDX_Control(dx, IDC_MESSAGE, m_messageCtrl);
}

HBRUSH CVelmoUpgradeToolDlg::OnCtlColor(CDC* dc, CWnd* child, UINT ctlColor) {
    const HBRUSH brush = LinkedMessageDialog::OnCtlColor(dc, child, ctlColor);
    if (ctlColor == CTLCOLOR_STATIC) {
        switch (child->GetDlgCtrlID()) {
        case IDC_NOTICE:
            dc->SetTextColor(m_noticeColor);
            break;
        case IDC_MESSAGE:
            dc->SetTextColor(kMessageColor);
            break;
        default:
            break;
        }
    }
    return brush;
}

void CVelmoUpgradeToolDlg::OnPaint() {
    if (!IsIconic()) {
        LinkedMessageDialog::OnPaint();
        return;
    }
    // Minimised: the icon, centred in the client area.
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CVelmoUpgradeToolDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
