// The main program itself, started as a user or another program would start
// it: what it shows for each run mode and the exit code it ends with.
#include <gtest/gtest.h>

#include <string>

#include "messages/UserMessages.h"
#include "res/resource.h"
#include "support/WindowDriver.h"
#include "win/handle.h"

using namespace testing_support;

namespace {

std::wstring ProgramPath() {
    std::string path = VUT_MAIN_PROGRAM;
    for (char& c : path)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(path.begin(), path.end());
}

struct ProgramRun {
    win::KernelHandle process;
    DWORD processId = 0;
};

ProgramRun Start(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
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

DWORD ExitCode(const ProgramRun& run) {
    if (WaitForSingleObject(run.process.get(), 20000) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(run.process.get(), &code);
    return code;
}

}  // namespace

TEST(MainProgram, RunModesWithoutDialogEndOnTheirOwn) {
    for (const wchar_t* arguments : {L"/download_update_list_for_inin_info", L"/download_ob_white_list",
                                     L"/called_service /download_pelmarch"}) {
        const ProgramRun run = Start(arguments);
        ASSERT_TRUE(run.process) << GetLastError();
        EXPECT_EQ(ExitCode(run), 0u) << testing::PrintToString(std::wstring(arguments));
    }
}

TEST(MainProgram, UpdateCheckEndsWithTheClosingDialog) {
    const ProgramRun run = Start(L"");
    ASSERT_TRUE(run.process);
    const HWND dialog = WaitForDialog(run.processId, IDC_NOTICE);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDCANCEL), L"終了");
    EXPECT_EQ(ControlText(dialog, IDC_LINK), SUPPORT_URL);
    Click(dialog, IDCANCEL);
    EXPECT_EQ(ExitCode(run), 0u);
}
