#pragma once
// The closing message with notice and installed version; its only button,
// 終了, ends with IDCANCEL.
#include "dialogs/VelmoUpgradeToolDlg.h"
#include "res/resource.h"

class VelmoUpgradeToolDlg_Close : public CVelmoUpgradeToolDlg {
public:
    VelmoUpgradeToolDlg_Close() : CVelmoUpgradeToolDlg(IDD_CLOSE) {}
};
