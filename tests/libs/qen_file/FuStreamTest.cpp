// Error codes of failed opens: never 0, and never a stale last error.
#include <windows.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "fu_stream.h"
#include "support/temp_folder.h"

using namespace qen_lib::fu_detail;

TEST(FuStream, OpenFailureWithoutSystemErrorGivesTheCrtError) {
    testing_support::TempFolder folder;
    testing_support::write_bytes(folder / L"in.txt", "x");
    SetLastError(ERROR_ACCESS_DENIED);  // left over from some earlier call
    qen_lib::CrtFile stream;
    // A mode the C runtime rejects fails before any system call.
    EXPECT_EQ(EINVAL, open_stream((folder / L"in.txt").c_str(), L"q", stream));
    EXPECT_FALSE(stream);
}

TEST(FuStream, FailureCodeIsNeverZero) {
    SetLastError(0);
    EXPECT_EQ(ERROR_GEN_FAILURE, failure_code(0));
    SetLastError(0);
    EXPECT_EQ(ENOSPC, failure_code(ENOSPC));
    SetLastError(ERROR_DISK_FULL);
    EXPECT_EQ(ERROR_DISK_FULL, failure_code(ENOSPC));
    errno = 0;
    EXPECT_EQ(ERROR_GEN_FAILURE, crt_error_code());
}
