#pragma once
// A program of the build started as a user or another program starts it, for
// the tests that run the real programs.
#include <windows.h>

#include <string>

#include "win/handle.h"

namespace testing_support {

// The Windows path of a path in the build tree (UTF-8, "/a/b" as "Z:\a\b").
std::wstring BuildTreePath(const std::string& path);

struct RunningProgram {
    RunningProgram() = default;
    RunningProgram(RunningProgram&&) = default;
    RunningProgram& operator=(RunningProgram&&) = default;
    // A program that a failed test left waiting for an answer ends with it,
    // so that it holds no files of later tests.
    ~RunningProgram();

    win::KernelHandle process;
    DWORD processId = 0;
};

// Starts the program with the arguments; an empty process handle when it
// cannot start.
RunningProgram StartProgram(const std::wstring& program, const std::wstring& arguments);
// Its exit code, or STILL_ACTIVE when it has not ended within the time.
DWORD WaitForExit(const RunningProgram& run, DWORD timeoutMs = 20000);

// True when the process is `ancestorId` itself or was started by it,
// directly or through programs that still run (a setup that an installer
// started, say).
bool IsStartedBy(DWORD processId, DWORD ancestorId);

}  // namespace testing_support
