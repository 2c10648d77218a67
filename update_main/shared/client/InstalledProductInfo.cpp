#include "client/InstalledProductInfo.h"

#include <windows.h>

#include "profile/IniProfile.h"
#include "qen_lib/fu.h"

namespace {

constexpr DWORD kValueChars = 1040;

struct ProductField {
    const wchar_t* key;
    std::wstring InstalledProductInfo::*value;
    bool required;
};

// In the order they are read; the version and the folder must be there.
constexpr ProductField kProductFields[] = {
    {L"ZRVVelmoVersion", &InstalledProductInfo::version, true},
    {L"Directory", &InstalledProductInfo::directory, true},
    {L"JREVersion", &InstalledProductInfo::jre_version, false},
    {L"JREDirectory", &InstalledProductInfo::jre_directory, false},
};

}  // namespace

std::wstring GetInstalledProductIniPath(const std::wstring& path) {
    if (!path.empty()) return path;
    wchar_t windowsFolder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(windowsFolder) + L"\\ZRVCAVelmo.ini";
}

InstalledProductInfo LoadInstalledProductInfo(const std::wstring& path, int& status) {
    status = kProductIniMissing;
    if (path.empty() || !FU_FileExists(path.c_str())) return InstalledProductInfo();

    InstalledProductInfo info;
    for (const ProductField& field : kProductFields) {
        // A cut folder would name the wrong place: a value too long for the
        // buffer makes the file unusable.
        const std::optional<std::wstring> value =
            ReadWholeProfileString(path, L"ZRVCAVelmo", field.key, L"", kValueChars);
        if (!value || (field.required && value->empty())) {
            status = kProductInfoUnusable;
            return InstalledProductInfo();
        }
        info.*field.value = *value;
    }
    status = kProductInfoRead;
    return info;
}

InstalledProductInfo ReadInstalledProductInfo(const std::wstring& path, bool& ok) {
    int status = kProductIniMissing;
    InstalledProductInfo info = LoadInstalledProductInfo(path, status);
    ok = status == kProductInfoRead;
    if (!ok) return InstalledProductInfo();
    if (!info.directory.empty() && info.directory.back() == L'\\') info.directory.pop_back();
    return info;
}
