// Rotation of the log file once it has grown past its size limit.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/log_seam.h"
#include "qen_lib/log.h"
#include "support/temp_folder.h"

using qen_lib::log::testing::LogSwitchedOn;
using testing_support::TempFolder;

namespace {

// Bytes that the first print of a process adds: the header and one entry.
DWORD first_print_size() {
    TempFolder folder;
    LogSwitchedOn log(folder / L"log.txt");
    log.set_local_time(qen_lib::log::testing::fixed_local_time);
    qen_lib::log::print(2, L"entry");
    return static_cast<DWORD>(log.raw().size());
}

}  // namespace

TEST(LogRotation, FileOfExactlyTheLimitStaysAndOneByteMoreIsRotated) {
    const DWORD limit = 5120000;  // the programs' fixed limit
    const DWORD added = first_print_size();
    TempFolder folder;
    const std::wstring path = folder / L"log.txt";
    testing_support::write_bytes(path, std::string(limit - added, 'x'));
    testing_support::write_bytes(path + L".bak.txt", "older generation");
    LogSwitchedOn log(path);
    log.set_local_time(qen_lib::log::testing::fixed_local_time);

    qen_lib::log::print(2, L"entry");
    EXPECT_EQ(limit, log.raw().size());
    EXPECT_EQ("older generation", testing_support::read_bytes(path + L".bak.txt"));

    qen_lib::log::print(2, L"entry");
    EXPECT_FALSE(testing_support::exists(path));
    EXPECT_FALSE(testing_support::exists(path + L".tmp.txt"));
    const std::string bak = testing_support::read_bytes(path + L".bak.txt");
    EXPECT_GT(bak.size(), limit);
    EXPECT_EQ(std::string::npos, bak.find("older generation"));

    // The next entry starts a new file, without a header.
    qen_lib::log::print(2, L"fresh");
    EXPECT_EQ(std::vector<std::wstring>{L"fresh"}, log.messages());
    EXPECT_EQ(std::string::npos, log.raw().find("#### cmd="));
}

TEST(LogRotation, SmallerLimitRotatesOnEveryEntryPastIt) {
    TempFolder folder;
    const std::wstring path = folder / L"log.txt";
    LogSwitchedOn log(path);
    log.set_max_size(1);
    qen_lib::log::print(2, L"one");
    qen_lib::log::print(2, L"two");
    EXPECT_FALSE(testing_support::exists(path));
    const std::string bak = testing_support::read_bytes(path + L".bak.txt");
    EXPECT_NE(std::string::npos, bak.find(",two\r\n")) << bak;
    EXPECT_EQ(std::string::npos, bak.find(",one\r\n")) << "only two generations are kept";
}

TEST(LogRotation, LeftOverTemporaryFileBlocksRotation) {
    TempFolder folder;
    const std::wstring path = folder / L"log.txt";
    testing_support::write_bytes(path + L".tmp.txt", "left over");
    LogSwitchedOn log(path);
    log.set_max_size(1);
    qen_lib::log::print(2, L"one");
    qen_lib::log::print(2, L"two");
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two"}), log.messages());
    EXPECT_EQ("left over", testing_support::read_bytes(path + L".tmp.txt"));
    EXPECT_FALSE(testing_support::exists(path + L".bak.txt"));
}
