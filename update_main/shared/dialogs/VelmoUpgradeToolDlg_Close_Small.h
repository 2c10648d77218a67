#pragma once
// The short closing message; its only button, 終了, ends with IDCANCEL.
#include "dialogs/LinkedMessageDialog.h"
#include "res/resource.h"

class VelmoUpgradeToolDlg_Close_Small : public LinkedMessageDialog {
public:
    VelmoUpgradeToolDlg_Close_Small() : LinkedMessageDialog(IDD_CLOSE_SMALL) {}
};
