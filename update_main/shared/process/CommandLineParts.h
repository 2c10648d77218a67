#pragma once
// A command line as the settings file gives one: a program path, then its
// options from the first " /" on. Both programs cut it the same way.
#include "framework/CString.h"

struct CommandLineParts {
    CString program;  // the text before the first " /" option
    CString options;  // from that "/" on; empty when there is none
};

// Cut only past a drive letter: a "/" inside the path ("C:/Tools/sub.exe")
// is part of the path.
CommandLineParts SplitCommandLine(const CString& commandLine);
