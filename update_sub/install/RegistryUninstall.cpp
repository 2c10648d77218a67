#include "install/RegistryUninstall.h"

#include "paths/PathExpansion.h"
#include "profile/IniProfile.h"
#include "win/handle.h"

namespace {

struct OldProduct {
    const wchar_t* keyName;
    const wchar_t* suffix;
};

// The "ZRV Velmo" suffix is the caller's choice.
constexpr wchar_t kVelmoKey[] = L"ZRV Velmo";
constexpr OldProduct kBeforeVelmo = {L"InstallShield_{7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62}", L" /uninst"};
constexpr OldProduct kAfterVelmo[] = {{L"Halvern VORNPATH", L" -a"}, {L"ZRV Velmo e-Tax Option Tool", L" /uninst"}};

// Only the system's own folders: a variable of the environment, which a
// user's profile can set, or a string that cannot be expanded gives no
// command at all.
std::optional<std::wstring> Expanded(const std::wstring& text) {
    std::wstring expanded = ExpandSystemPath(text, GetProgramDataFolder());
    if (expanded.empty()) return std::nullopt;
    return expanded;
}

}  // namespace

std::optional<std::wstring> ReadUninstallString(const RegistryPlace& keys, const std::wstring& keyName) {
    win::RegKey key;
    if (RegOpenKeyExW(keys.root, (keys.path + L"\\" + keyName).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // One character more than the limit, so that our own terminator always
    // fits behind whatever the value holds.
    wchar_t value[UNINSTALL_STRING_BYTES / sizeof(wchar_t) + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = UNINSTALL_STRING_BYTES;
    if (RegQueryValueExW(key.get(), L"UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size % sizeof(wchar_t) != 0) return std::nullopt;
    std::wstring text(value, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    if (text.empty() || text.find(L'\0') != std::wstring::npos) return std::nullopt;
    return type == REG_EXPAND_SZ ? Expanded(text) : text;
}

bool UninstallByRegistryKey(ProgramRunner& runner, const RegistryPlace& keys, const std::wstring& keyName,
                            const wchar_t* suffix) {
    const std::optional<std::wstring> command = ReadUninstallString(keys, keyName);
    return command && runner.RunCommandLineAndWait(*command + suffix);
}

void RunRegistryUninstallers(ProgramRunner& runner, const RegistryPlace& keys, bool velmoWithUninst) {
    UninstallByRegistryKey(runner, keys, kBeforeVelmo.keyName, kBeforeVelmo.suffix);
    UninstallByRegistryKey(runner, keys, kVelmoKey, velmoWithUninst ? L" /uninst" : L"");
    for (const OldProduct& product : kAfterVelmo) UninstallByRegistryKey(runner, keys, product.keyName, product.suffix);
}
