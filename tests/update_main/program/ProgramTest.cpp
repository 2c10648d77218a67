// The main program itself, started as a user or another program would start
// it: what it shows for each run mode and the exit code it ends with, where
// its support link opens, and what its file declares to the loader.
#include <gtest/gtest.h>

#include "MainProgramRun.h"
#include "messages/UserMessages.h"
#include "res/resource.h"
#include "support/ProgramImage.h"
#include "support/StandInBrowser.h"
#include "support/WindowDriver.h"

using namespace testing_support;

// Without an installation the self-check stops every run: the update list's
// run ends silently, the allowed-URL run with 505, the auxiliary
// application's run shows the error in its message box.
TEST(MainProgram, WithoutAnInstallationTheSelfCheckEndsEveryRunMode) {
    const struct {
        const wchar_t* arguments;
        bool noticeBox;
        DWORD exitCode;
    } cases[] = {
        {L"/download_update_list_for_inin_info", false, 0},
        {L"/download_ob_white_list", false, 505},
        {L"/called_service /download_pelmarch", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments)));
        const ProgramRun run = StartMainProgram(c.arguments);
        ASSERT_TRUE(run.process) << GetLastError();
        if (c.noticeBox) {
            const HWND box = WaitForProgramDialog(run, Dialog::NoticeBox);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(DialogMessage(box, Dialog::NoticeBox), ErrorText(K806).str());
            Click(box, IDOK);
        }
        EXPECT_EQ(ExitCode(run), c.exitCode);
    }
}

TEST(MainProgram, UpdateCheckEndsWithTheClosingDialog) {
    const ProgramRun run = StartMainProgram(L"");
    ASSERT_TRUE(run.process);
    const HWND dialog = WaitForProgramDialog(run, Dialog::Closing);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogMessage(dialog, Dialog::Closing), ErrorText(K806).str());
    EXPECT_EQ(ControlText(dialog, IDCANCEL), L"終了");
    EXPECT_EQ(ControlText(dialog, IDC_LINK), SUPPORT_URL);
    Click(dialog, IDCANCEL);
    EXPECT_EQ(ExitCode(run), 0u);
}

// It runs with the user's own rights: it starts the browser itself.
TEST(MainProgram, ItsSupportLinkStartsTheBrowserItself) {
    const StandInBrowser browser;
    const ProgramRun run = StartMainProgram(L"");
    ASSERT_TRUE(run.process);
    const HWND dialog = WaitForProgramDialog(run, Dialog::Closing);
    ASSERT_NE(dialog, nullptr);
    ClickControl(dialog, IDC_LINK);
    const BrowserStart start = browser.WaitForStart(20000);
    EXPECT_EQ(start.parentId, run.processId);
    EXPECT_EQ(start.address, SUPPORT_URL);
    Click(dialog, IDCANCEL);
    EXPECT_EQ(ExitCode(run), 0u);
}

TEST(MainProgram, IsTerminalServerAware) {
    EXPECT_TRUE(DllCharacteristics(MainProgramPath()) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
}
