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

std::wstring MainProgramPath() { return testing_support::BuildTreePath(VUT_MAIN_PROGRAM); }

ProgramRun StartMainProgram(const std::wstring& arguments) {
    return testing_support::StartProgram(MainProgramPath(), arguments);
}

HWND WaitForProgramDialog(const ProgramRun& run, Dialog kind, DWORD timeoutMs) {
    return testing_support::WaitForDialogWhere(
        run.processId, [kind](HWND dialog) { return IsDialog(dialog, kind); }, timeoutMs);
}

HWND WaitForStartedProgramDialog(const ProgramRun& run, Dialog kind, DWORD timeoutMs) {
    return testing_support::WaitForDialogWhere(
        0,
        [&run, kind](HWND dialog) {
            DWORD owner = 0;
            GetWindowThreadProcessId(dialog, &owner);
            return owner != run.processId && testing_support::IsStartedBy(owner, run.processId) &&
                   IsDialog(dialog, kind);
        },
        timeoutMs);
}

std::wstring DialogMessage(HWND dialog, Dialog kind) {
    return testing_support::ControlText(dialog, kind == Dialog::NoticeBox ? kMessageBoxText : IDC_MESSAGE);
}
