// watch_dialogs OUT_DIR PROGRAM [ARGS...]
// Runs a program and, for each dialog it shows, saves a screenshot in OUT_DIR,
// prints the dialog's texts and closes it as the close box would, so that an
// unattended run ends. Exits with the program's exit code.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "WindowDriver.h"
#include "win/handle.h"

using namespace testing_support;

namespace {

std::wstring QuoteArgument(const std::wstring& argument) {
    return argument.find_first_of(L" \t\"") == std::wstring::npos ? argument : L"\"" + argument + L"\"";
}

void PrintTexts(HWND dialog) {
    wprintf(L"[%ls]\n", WindowText(dialog).c_str());
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = WindowText(child);
        if (!text.empty()) wprintf(L"  %ls\n", text.c_str());
    }
    fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: watch_dialogs OUT_DIR PROGRAM [ARGS...]\n");
        return 2;
    }
    SetEnvironmentVariableW(L"VUT_ARTIFACTS", argv[1]);
    std::wstring commandLine;
    for (int i = 2; i < argc; ++i) commandLine += (i > 2 ? L" " : L"") + QuoteArgument(argv[i]);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        fwprintf(stderr, L"cannot start %ls: %lu\n", argv[2], GetLastError());
        return 2;
    }
    win::KernelHandle process(started.hProcess);
    win::KernelHandle thread(started.hThread);

    std::set<HWND> seen;
    int shot = 0;
    while (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        const HWND dialog = WaitForDialog(started.dwProcessId, 0, 200);
        if (!dialog || seen.count(dialog)) continue;
        seen.insert(dialog);
        Sleep(500);  // let it finish drawing
        const std::wstring name = std::to_wstring(++shot) + L"_dialog";
        SaveScreenshot(dialog, name);
        wprintf(L"screenshot %ls.png\n", name.c_str());
        PrintTexts(dialog);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    wprintf(L"exit code %lu\n", exitCode);
    return static_cast<int>(exitCode);
}
