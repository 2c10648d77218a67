// The main program runs with the user's own rights, so the browser that it
// starts has no more than those.
#include "dialogs/LinkOpening.h"

#include <windows.h>
#include <shellapi.h>

void OpenLinkAddress(const wchar_t* address) {
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
