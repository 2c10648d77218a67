#include "process/ProcessSetup.h"

#include <windows.h>

#include <clocale>
#include <locale>
#include <stdexcept>

void SetJapaneseLocale() {
    setlocale(LC_ALL, "japanese");
    try {
        std::locale::global(std::locale("japanese_jpn.932"));
    } catch (const std::runtime_error&) {
        // MinGW's C++ library has no named locales; the C locale above and the
        // thread locale below are what our conversions use.
    }
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
}

bool HardenDllSearchPath() {
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    // Looked up at run time: Windows before XP SP1 does not have it.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return false;
    const auto setDllDirectory =
        reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")));
    if (!setDllDirectory || !setDllDirectory(L"")) return false;
    wchar_t systemFolder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    return SetCurrentDirectoryW(systemFolder) != FALSE;
}
