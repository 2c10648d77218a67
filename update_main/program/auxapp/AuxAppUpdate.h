#pragma once
// Whether the auxiliary application (Pelmarch) must be updated: its installed
// version from the registry against the version that the update list names,
// and the gate that holds the update back on old Windows or where the client
// has put its no-use flag.
#include <functional>
#include <string>

#include "environment/VersionNumber.h"
#include "settings/AuxAppVersionInfo.h"

// HKLM\SOFTWARE\Obla\Pelmarch "Version" of the 32-bit registry view, where
// the auxiliary application's setup records it; the version of "" when the
// value is missing, is not text or does not fit 256 bytes (127 characters
// and the terminator).
VersionNumber ReadAuxAppInstalledVersion();

// The installed version against [Pelmarch] ver of the update list.
AuxAppVersionInfo GetAuxAppVersionInfo(const std::wstring& updateListPath);

// Says of a path whether it lets the update through.
using PathGate = std::function<bool(const std::wstring&)>;

// True when Windows says cleanly that the path names no file: not found, or
// a folder of that name. False for a file, and for an empty path, one that
// still holds a "%" or one that cannot be looked at.
bool IsNotExistingFile(const std::wstring& path);

// False on Windows 6.1 (Windows 7) and older, else the gate's word on the
// expanded no-use flag path.
bool IsAuxAppUpdateAllowed(const VersionNumber& osVersion, const std::wstring& noUseFlagPath,
                           const PathGate& gate = IsNotExistingFile);
