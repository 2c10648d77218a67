// watch_dialogs OUT_DIR PROGRAM [ARGS...]
// Runs a program and, for each dialog it shows, saves a screenshot in OUT_DIR,
// prints the dialog's texts and closes it as the close box would, so that an
// unattended run ends; a dialog with a progress bar ends by itself and is left
// to do so. Exits with the program's exit code.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <set>
#include <string>

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
        PrintLine(L"screenshot " + name + L".png");
        PrintTexts(dialog);
        // Closing a progress dialog would cancel what it shows.
        if (!FindWindowExW(dialog, nullptr, PROGRESS_CLASSW, nullptr)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    PrintLine(L"exit code " + std::to_wstring(exitCode));
    return static_cast<int>(exitCode);
}
