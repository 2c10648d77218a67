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
    const std::wstring systemFolder = SystemFolder();
    return !systemFolder.empty() && SetCurrentDirectoryW(systemFolder.c_str()) != FALSE;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length);
}
