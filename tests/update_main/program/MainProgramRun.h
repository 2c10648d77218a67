#pragma once
// The main program started as a user or another program starts it, from the
// program tests.
#include <windows.h>

#include <string>

#include "support/ProgramRun.h"

using ProgramRun = testing_support::RunningProgram;

// The built program, as a Windows path.
std::wstring MainProgramPath();
// Starts it with the arguments; an empty process handle when it cannot start.
ProgramRun StartMainProgram(const std::wstring& arguments);
// Its exit code, or STILL_ACTIVE when it has not ended within the time.
inline DWORD ExitCode(const ProgramRun& run, DWORD timeoutMs = 20000) {
    return testing_support::WaitForExit(run, timeoutMs);
}

// The main program's dialogs, told apart by their controls.
enum class Dialog {
    Main,          // the client update offer: インストール / キャンセル
    Closing,       // the closing dialog with the notice
    SmallClosing,  // the short closing message
    Question,      // a yes / no question
    NoticeBox,     // the message box of the auxiliary application's download
};
// The first such dialog of the run, waited for up to timeoutMs; null when
// none came.
HWND WaitForProgramDialog(const ProgramRun& run, Dialog kind, DWORD timeoutMs = 15000);
// The same for a program that the run started, directly or through others
// (the secondary program), not the run itself.
HWND WaitForStartedProgramDialog(const ProgramRun& run, Dialog kind, DWORD timeoutMs = 15000);
// The message the dialog shows.
std::wstring DialogMessage(HWND dialog, Dialog kind);
