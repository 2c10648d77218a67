// watch_dialogs [--accept] OUT_DIR PROGRAM [ARGS...]
// Runs a program and, for each dialog that it or a program it starts shows
// (the secondary program, say), saves a screenshot in OUT_DIR named after
// its order and its program, prints the dialog's texts and closes it as the
// close box would, so that an unattended run ends; with --accept a dialog
// with an OK button is answered with that button instead. A dialog with a
// progress bar ends by itself and is left to do so. Exits with the program's
// exit code.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>

#include "support/ProgramRun.h"
#include "support/WindowDriver.h"
#include "win/handle.h"

using namespace testing_support;

namespace {

std::wstring QuoteArgument(const std::wstring& argument) {
    return argument.find_first_of(L" \t\"") == std::wstring::npos ? argument : L"\"" + argument + L"\"";
}

// Printed as UTF-8 bytes, whatever the console's code page: the reader is a
// terminal or a log on the machine that runs Wine.
void PrintLine(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

void PrintTexts(HWND dialog) {
    PrintLine(L"[" + WindowText(dialog) + L"]");
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = WindowText(child);
        // Bitmap statics hold a resource number, not a text.
        if (!text.empty() && text[0] != 0xFFFF) PrintLine(L"  " + text);
    }
}

// The file name of the window's program without ".exe"; "dialog" when it
// cannot be had.
std::wstring ProgramName(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &length)) return L"dialog";
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) name.resize(name.size() - 4);
    return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool accept = argc > 1 && wcscmp(argv[1], L"--accept") == 0;
    const int first = accept ? 2 : 1;
    if (argc < first + 2) {
        fwprintf(stderr, L"usage: watch_dialogs [--accept] OUT_DIR PROGRAM [ARGS...]\n");
        return 2;
    }
    SetEnvironmentVariableW(L"VUT_ARTIFACTS", argv[first]);
    std::wstring arguments;
    for (int i = first + 2; i < argc; ++i) arguments += (i > first + 2 ? L" " : L"") + QuoteArgument(argv[i]);
    const RunningProgram run = StartProgram(argv[first + 1], arguments);
    if (!run.process) {
        fwprintf(stderr, L"cannot start %ls: %lu\n", argv[first + 1], GetLastError());
        return 2;
    }

    std::set<HWND> seen;
    int shot = 0;
    // The program waits for what it starts, so its end is the end of the run.
    while (WaitForSingleObject(run.process.get(), 0) == WAIT_TIMEOUT) {
        const HWND dialog = WaitForDialogWhere(
            0,
            [&](HWND candidate) {
                DWORD owner = 0;
                GetWindowThreadProcessId(candidate, &owner);
                return !seen.count(candidate) && IsStartedBy(owner, run.processId);
            },
            200);
        if (!dialog) continue;
        seen.insert(dialog);
        Sleep(500);  // let it finish drawing
        const std::wstring name = std::to_wstring(++shot) + L"_" + ProgramName(dialog);
        SaveScreenshot(dialog, name);
        PrintLine(L"screenshot " + name + L".png");
        PrintTexts(dialog);
        // Closing a progress dialog would cancel what it shows.
        if (FindWindowExW(dialog, nullptr, PROGRESS_CLASSW, nullptr)) continue;
        const HWND ok = GetDlgItem(dialog, IDOK);
        const bool answerOk = accept && ok && IsWindowEnabled(ok) && IsWindowVisible(ok);
        PostMessageW(dialog, WM_COMMAND, answerOk ? IDOK : IDCANCEL, 0);
    }
    const DWORD exitCode = WaitForExit(run, 0);
    PrintLine(L"exit code " + std::to_wstring(exitCode));
    return static_cast<int>(exitCode);
}
