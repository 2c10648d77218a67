#pragma once
// The main dialog: the results of the update check in red, the notice of the
// rule database in blue, the installed version, and the offer to install.
#include "dialogs/LinkedMessageDialog.h"

class CVelmoUpgradeToolDlg : public LinkedMessageDialog {
public:
    CVelmoUpgradeToolDlg();

    CString m_notice;
    CString m_versionLabel;

protected:
    // For the closing dialog, which shares the layout and the colours.
    explicit CVelmoUpgradeToolDlg(UINT templateId);

    void DoDataExchange(CDataExchange* dx) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT ctlColor) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

    CStatic m_noticeCtrl;
    COLORREF m_noticeColor = 0x00FF0000;  // blue
    CStatic m_messageCtrl;
};
