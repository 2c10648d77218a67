#pragma once
// Older clients and option packs removed by the uninstall command that their
// installers left in the registry.
#include <optional>
#include <string>

#include "install/ProgramRunner.h"
#include "install/RegistryPlaces.h"

// The longest uninstall string taken, in bytes, terminator included or not.
inline constexpr DWORD UNINSTALL_STRING_BYTES = 256;

// UninstallString of the key `keyName` below `keys`, as text that ends where
// the value ends. Only REG_SZ and REG_EXPAND_SZ (expanded from the system's
// folders alone, ExpandSystemPath) count; a value with or without its
// terminator is the same text. Nothing when the key or value is missing, of
// another type, longer than UNINSTALL_STRING_BYTES, or holding a NUL before
// its end: a cut command would run something else.
std::optional<std::wstring> ReadUninstallString(const RegistryPlace& keys, const std::wstring& keyName);

// Runs the key's uninstall string with `suffix` appended and waits for it;
// false when there is no usable string or the command did not start.
bool UninstallByRegistryKey(ProgramRunner& runner, const RegistryPlace& keys, const std::wstring& keyName,
                            const wchar_t* suffix);

// The four older products in their order: the InstallShield client, "ZRV
// Velmo" (with " /uninst" only when `velmoWithUninst`), "Halvern VORNPATH"
// and the e-Tax option tool. A missing key is skipped.
void RunRegistryUninstallers(ProgramRunner& runner, const RegistryPlace& keys, bool velmoWithUninst);
