#pragma once
// What only the secondary program tells the user. The building blocks (the
// support footer) are the shared ones.
#include <string>
#include <vector>

#include "framework/CString.h"

// The old client could not be removed, so the new one was not installed
// (K702), with the support footer.
CString UninstallFailedText();

// The uninstall orders that were not carried out, one to a line, to follow
// the closing message; empty when there were none.
CString RefusedOrdersText(const std::vector<std::wstring>& refused);
