#pragma once
// The client's first-run program, VelmoInit.exe, which the setup is told not
// to start itself.
#include <string>

#include "environment/EnvironmentInfo.h"
#include "install/ProgramRunner.h"

// True for a client of version 6.2 or later (major above 6, or 6 with minor
// 2 or more), read from the version text; a missing minor counts 0.
bool IsClientInitDue(const std::wstring& versionText);

// Reads the client's INI file at `clientIni` again into `environment` and
// runs the client folder's VelmoInit.exe when it is a file, with the folder
// held (HoldClientFolder); false when it did not run, a link on the way to
// the folder included.
bool LaunchClientInit(ProgramRunner& runner, EnvironmentInfo& environment, const std::wstring& clientIni);
