#pragma once
// The environment of the programs this program starts: MsiExec, wscript,
// the setups and VelmoInit.exe. Our own is whatever started us passed on: a
// user's, or, from a service, SYSTEM's, whose TEMP (C:\Windows\Temp) every
// user may write. Setups unpack into TEMP and load DLLs from there with our
// rights, so the programs get an environment made for them instead.
#include <string>
#include <vector>

#include "paths/PathConstants.h"

// Below the common application-data folder: the programs' TEMP and TMP, a
// folder that only SYSTEM and the Administrators may write, made anew for
// each run and removed at its end.
inline constexpr auto PROGRAM_TEMP_SUBDIR = path_detail::Join(L"\\", TOOL_DIR, L"\\temp");

// The environment that Windows builds for this process's own token, nothing
// of ours inherited, with TEMP and TMP naming `tempFolder`: "NAME=value"
// strings, each ended by a NUL and sorted by name, then one more NUL, as
// CreateProcessW takes it with CREATE_UNICODE_ENVIRONMENT. Empty, with the
// last error, when it cannot be built.
std::vector<wchar_t> MakeChildEnvironment(const std::wstring& tempFolder);
