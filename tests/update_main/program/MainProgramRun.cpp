#include "MainProgramRun.h"

#include "messages/UserMessages.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

namespace {

// The text of a message box: the static that Windows gives this number.
constexpr int kMessageBoxText = 0xFFFF;

bool IsDialog(HWND dialog, Dialog kind) {
    const bool notice = GetDlgItem(dialog, IDC_NOTICE) != nullptr;
    const bool ok = GetDlgItem(dialog, IDOK) != nullptr;
    const bool link = GetDlgItem(dialog, IDC_LINK) != nullptr;
    switch (kind) {
    case Dialog::Main: return notice && ok;
    case Dialog::Closing: return notice && !ok;
    case Dialog::SmallClosing: return link && !notice && !ok;
    case Dialog::Question: return link && !notice && ok;
    case Dialog::NoticeBox: return !link && testing_support::WindowText(dialog) == VELMO_TITLE;
    }
    return false;
}

}  // namespace

std::wstring MainProgramPath() {
    std::string path = VUT_MAIN_PROGRAM;
    for (char& c : path)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(path.begin(), path.end());
}

ProgramRun::~ProgramRun() {
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
}

ProgramRun StartMainProgram(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + MainProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ProgramRun run;
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        run.process.reset(started.hProcess);
        win::KernelHandle thread(started.hThread);
        run.processId = started.dwProcessId;
    }
    return run;
}

DWORD ExitCode(const ProgramRun& run, DWORD timeoutMs) {
    if (WaitForSingleObject(run.process.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(run.process.get(), &code);
    return code;
}

HWND WaitForProgramDialog(const ProgramRun& run, Dialog kind, DWORD timeoutMs) {
    return testing_support::WaitForDialogWhere(
        run.processId, [kind](HWND dialog) { return IsDialog(dialog, kind); }, timeoutMs);
}

std::wstring DialogMessage(HWND dialog, Dialog kind) {
    return testing_support::ControlText(dialog, kind == Dialog::NoticeBox ? kMessageBoxText : IDC_MESSAGE);
}
