#include "VelmoUpgradeToolApp.h"

void CVelmoUpgradeToolApp::RunUpdateCheck(const wchar_t*) { ParseCommandLine(); }

BOOL CVelmoUpgradeToolApp::RunSubCommand(int) { return FALSE; }
