#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/log_seam.h"
#include "qen_lib/log.h"
#include "support/temp_folder.h"

using qen_lib::log::testing::LogSwitchedOn;
using testing_support::TempFolder;

namespace {

// What the entries of this process and thread start with at the fixed time.
std::string prefix(const std::string& level_name) {
    return "2020/04/01 09:05:07.042 JST," + level_name + "," +
           std::to_string(GetCurrentProcessId()) + "," + std::to_string(GetCurrentThreadId()) + ",";
}

std::string program_part_of_command_line() {
    const std::wstring cmd = GetCommandLineW();
    const auto slash = cmd.rfind(L'\\');
    const std::wstring part = slash == std::wstring::npos ? cmd : cmd.substr(slash);
    return std::string(part.begin(), part.end());  // ASCII build paths
}

}  // namespace

TEST(Log, IsOffInThePrograms) {
    const bool folder_was_there = testing_support::exists(L"C:\\Temp");
    const bool file_was_there = testing_support::exists(L"C:\\Temp\\log.txt");
    testing::internal::CaptureStdout();
    for (int level = 0; level <= 5; ++level) {
        EXPECT_FALSE(qen_lib::log::is_enabled(level));
        EXPECT_EQ(0, qen_lib::log::print(level, L"%ls", L"nothing"));
    }
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(folder_was_there, testing_support::exists(L"C:\\Temp"));
    EXPECT_EQ(file_was_there, testing_support::exists(L"C:\\Temp\\log.txt"));
}

TEST(Log, FirstEntryOfTheProcessFollowsTheHeaderByteForByte) {
    TempFolder folder;
    LogSwitchedOn log(folder / L"log.txt");
    log.set_local_time(qen_lib::log::testing::fixed_local_time);

    // A wide argument with Japanese text comes out whole, in code page 932.
    EXPECT_NE(0, qen_lib::log::print(2, L"File moving failed(0x%08x): from %ls to %ls", 2u,
                                     L"C:\\データ\\a.txt", L"C:\\b.txt"));

    const std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ(prefix("WARN ") + "#### cmd=" + program_part_of_command_line() + ", pid=" + pid +
                  "\r\n" + prefix("WARN ") +
                  "File moving failed(0x00000002): from C:\\\x83\x66\x81\x5b\x83\x5e\\a.txt to "
                  "C:\\b.txt\r\n",
              log.raw());
}

TEST(Log, HeaderIsWrittenOncePerProcess) {
    TempFolder folder;
    LogSwitchedOn log(folder / L"log.txt");
    qen_lib::log::report(L"qen_lib::file::load", 312, L"File too big: filesize=%d, path=%ls", 11,
                         L"C:\\x");
    qen_lib::log::print(2, L"third");

    const std::string raw = log.raw();
    EXPECT_LT(raw.find("#### cmd="), raw.find("\r\n")) << "the header comes first: " << raw;
    EXPECT_EQ(raw.find("#### cmd="), raw.rfind("#### cmd="));
    EXPECT_EQ((std::vector<std::wstring>{L"qen_lib::file::load:312",
                                         L"File too big: filesize=11, path=C:\\x", L"third"}),
              log.messages());
}

TEST(Log, HeaderIsNotTriedAgainAfterTheFileCouldNotBeOpened) {
    TempFolder folder;
    LogSwitchedOn log(folder / L"later\\log.txt");
    testing::internal::CaptureStdout();
    qen_lib::log::print(2, L"lost");
    testing::internal::GetCapturedStdout();

    ASSERT_TRUE(CreateDirectoryW((folder / L"later").c_str(), nullptr));
    qen_lib::log::print(2, L"kept");
    EXPECT_EQ(std::string::npos, log.raw().find("#### cmd=")) << log.raw();
    EXPECT_EQ(std::vector<std::wstring>{L"kept"}, log.messages());
}

TEST(Log, LevelsUpToTheThresholdAreWrittenWithTheirNames) {
    const struct {
        int threshold;
        int level;
        const char* name;  // nullptr: not written
    } cases[] = {
        {3, 0, "-    "}, {3, 1, "ERR  "}, {3, 2, "WARN "}, {3, 3, "INFO "}, {3, 4, nullptr},
        {3, 5, nullptr},  {5, 4, "-    "}, {5, 5, "DEBUG"}, {1, 2, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << ", level " << c.level);
        TempFolder folder;
        LogSwitchedOn log(folder / L"log.txt");
        log.set_threshold(c.threshold);
        log.set_local_time(qen_lib::log::testing::fixed_local_time);
        EXPECT_EQ(c.name != nullptr, qen_lib::log::is_enabled(c.level));
        EXPECT_EQ(c.name ? 1 : 0, qen_lib::log::print(c.level, L"entry"));
        const std::string raw = log.raw();
        if (c.name)
            EXPECT_NE(std::string::npos, raw.find(prefix(c.name) + "entry\r\n")) << raw;
        else
            EXPECT_EQ("", raw);
    }
}

TEST(Log, LoggingKeepsTheCallersLastErrorAndErrno) {
    TempFolder folder;
    LogSwitchedOn log(folder / L"missing\\log.txt");
    testing::internal::CaptureStdout();
    SetLastError(ERROR_FILE_EXISTS);
    errno = ENOSPC;
    qen_lib::log::print(2, L"lost");
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_EQ(ENOSPC, errno);
    testing::internal::GetCapturedStdout();
}
