#pragma once
// The secondary program's start as the settings file names it.
#include "framework/CString.h"
#include "process/CommandLineParts.h"

// [APP] SubCommand may carry options after the program ("sub.exe
// /called_service"): the program is what comes before them, so that the
// shell is never asked to start the whole line as one file. The options are
// followed by "/download_pelmarch" in that run mode.
CommandLineParts MakeSubCommandLine(const CString& subCommand, int runMode);
