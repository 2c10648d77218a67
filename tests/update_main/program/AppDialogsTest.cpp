// The application's own closing dialog: closing it ends the process with
// exit code 1. It runs in a child process of the test (a death test), whose
// own driver closes the dialog as a user would.
#include <gtest/gtest.h>

#include "messages/UserMessages.h"
#include "res/resource.h"
#include "startup/VelmoUpgradeToolApp.h"
#include "support/WindowDriver.h"

using namespace testing_support;

TEST(AppDialogsDeathTest, ClosingTheClosingDialogEndsTheProcessWithExitCode1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DialogDriver driver([](HWND hwnd) { Click(hwnd, IDCANCEL); }, IDC_NOTICE);
            CVelmoUpgradeToolApp app;
            app.ShowCloseAndExit(ErrorText(K818));
        },
        testing::ExitedWithCode(1), "");
}
