#pragma once
// The secondary program's start as the settings file names it.
#include "framework/CString.h"

struct SubCommandLine {
    CString file;        // the program to start
    CString parameters;  // its options, then "/download_pelmarch" in that run mode
};

// [APP] SubCommand may carry options after the program ("sub.exe
// /called_service"): the program is what comes before them, so that the
// shell is never asked to start the whole line as one file.
SubCommandLine MakeSubCommandLine(const CString& subCommand, int runMode);
