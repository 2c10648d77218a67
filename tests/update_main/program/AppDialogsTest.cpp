// The application's own closing dialog ends the process with exit code 1
// however it ends: closed, with another result, or never shown (-1). It runs
// in a child process of the test (a death test), whose own driver ends the
// dialog.
#include <gtest/gtest.h>

#include "messages/UserMessages.h"
#include "res/resource.h"
#include "startup/VelmoUpgradeToolApp.h"
#include "support/WindowDriver.h"

using namespace testing_support;

TEST(AppDialogsDeathTest, TheClosingDialogEndsTheProcessWithExitCode1HoweverItEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int result : {IDCANCEL, IDOK, -1}) {
        EXPECT_EXIT(ShowAndEndAs(result, IDC_NOTICE,
                                 [] {
                                     CVelmoUpgradeToolApp app;
                                     app.ShowCloseAndExit(ErrorText(K818));
                                 }),
                    testing::ExitedWithCode(1), "")
            << result;
    }
}
