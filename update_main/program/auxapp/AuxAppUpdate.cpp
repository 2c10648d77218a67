#include "auxapp/AuxAppUpdate.h"

#include <windows.h>

#include <cstdio>

#include "profile/IniProfile.h"
#include "win/handle.h"

namespace {

constexpr DWORD kVersionValueBytes = 256;
constexpr DWORD kUpdateListChars = 4097;

std::wstring ReadRegistryVersionText() {
    // The 32-bit view: where the auxiliary application's setup writes, also
    // when a 64-bit build of this code runs.
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Obla\\Pelmarch", 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      &opened) != ERROR_SUCCESS) {
        std::fputs("RegOpenKeyEx error\n", stderr);
        return std::wstring();
    }
    const win::RegKey key(opened);
    // One character more than the value may fill, so the text always ends,
    // also when the value was stored without its terminator.
    wchar_t text[kVersionValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = 0;
    DWORD size = kVersionValueBytes;
    if (RegQueryValueExW(key.get(), L"Version", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        std::fputs("RegQueryValueEx error\n", stderr);
        return std::wstring();
    }
    text[size / sizeof(wchar_t)] = L'\0';
    return text;
}

}  // namespace

VersionNumber ReadAuxAppInstalledVersion() { return VersionNumber(ReadRegistryVersionText()); }

AuxAppVersionInfo GetAuxAppVersionInfo(const std::wstring& updateListPath) {
    AuxAppVersionInfo info;
    info.installed = ReadAuxAppInstalledVersion();
    info.required = VersionNumber(ReadProfileString(updateListPath, L"Pelmarch", L"ver", L"", kUpdateListChars));
    info.needs_update = info.installed < info.required;
    return info;
}

bool IsNotExistingFile(const std::wstring& path) {
    // The flag file holds the update back, so only a clean "not there"
    // lets it through: an empty or half-expanded path names no place to
    // look (Windows would look in the current folder or for a "%" name),
    // and a path that cannot be looked at may well hold the flag.
    if (path.empty() || path.find(L'%') != std::wstring::npos) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsAuxAppUpdateAllowed(const VersionNumber& osVersion, const std::wstring& noUseFlagPath, const PathGate& gate) {
    if (!(VersionNumber(L"6.1") < osVersion)) return false;
    return gate(noUseFlagPath);
}
