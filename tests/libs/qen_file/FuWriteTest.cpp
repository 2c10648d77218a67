#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "fu_test_files.h"
#include "qen_lib/crt_file.h"
#include "qen_lib/fu.h"
#include "support/replace_seam.h"
#include "support/temp_folder.h"
#include "win/handle.h"

using testing_support::exists;
using testing_support::read_bytes;
using testing_support::TempFolder;
using testing_support::write_bytes;

namespace {

int write_lines(const std::wstring& path, const Lines& lines, int type = 0) {
    return FU_WriteFileEx(path.c_str(), WriteFuncForList, const_cast<Lines*>(&lines), type);
}

// Writes its first line, then fails.
int fail_after_first_line(FILE* stream, void*) {
    std::fputws(L"partial\n", stream);
    return ERROR_WRITE_FAULT;
}

}  // namespace

TEST(FuWrite, ReplacesTheTargetInEachEncoding) {
    const Lines lines = {L"一行目", L"b"};
    const struct {
        int type;
        std::string bytes;
    } cases[] = {
        {0, "\x88\xea\x8d\x73\x96\xda" "\r\nb\r\n"},
        {1, "\xef\xbb\xbf\xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae" "\r\nb\r\n"},
        {2, utf16le(L"一行目\r\nb\r\n", true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        TempFolder folder;
        const std::wstring path = folder / L"list.txt";
        write_bytes(path, "old content that is longer than the new one");
        {
            const testing_support::ReplaceSteps steps;
            EXPECT_EQ(0, write_lines(path, lines, c.type));
            // The new file's data on the disk before the move that names it;
            // that it survives a real power loss only Windows can show.
            EXPECT_EQ(Lines({L"flush list.txt.new", L"move list.txt.new list.txt"}), steps.steps());
        }
        EXPECT_EQ(c.bytes, read_bytes(path));
        EXPECT_FALSE(exists(path + L".new"));

        Lines read_back;
        EXPECT_EQ(0, FU_TraverseFileEx(path.c_str(), LineFuncForList, &read_back, 0, c.type));
        EXPECT_EQ(lines, read_back);
    }
}

TEST(FuWrite, AFailedStepKeepsTheOldTargetAndRemovesTheNewFile) {
    const struct {
        const char* step;
        FU_WriteFunc writer;
        const wchar_t* failing;  // the replace's step that fails, if any
        int code;
    } cases[] = {
        {"the writer", fail_after_first_line, L"", ERROR_WRITE_FAULT},
        {"the flush", WriteFuncForList, L"flush", ERROR_DISK_FULL},
        {"the move", WriteFuncForList, L"move", ERROR_ACCESS_DENIED},
    };
    const Lines lines = {L"new"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        TempFolder folder;
        const std::wstring path = folder / L"list.txt";
        write_bytes(path, "old\r\n");
        const testing_support::ReplaceSteps steps([&c](const std::wstring& step) -> DWORD {
            return *c.failing && step.find(c.failing) == 0 ? static_cast<DWORD>(c.code) : 0;
        });
        EXPECT_EQ(c.code, FU_WriteFileEx(path.c_str(), c.writer, const_cast<Lines*>(&lines), 0));
        EXPECT_EQ("old\r\n", read_bytes(path));
        EXPECT_FALSE(exists(path + L".new"));
    }
}

TEST(FuWrite, ALeftOverNewFileIsWrittenOver) {
    TempFolder folder;
    const std::wstring path = folder / L"list.txt";
    write_bytes(path + L".new", "left over by a run that was cut short, and longer");
    EXPECT_EQ(0, write_lines(path, {L"new"}));
    EXPECT_EQ("new\r\n", read_bytes(path));
    EXPECT_FALSE(exists(path + L".new"));
}

TEST(FuWrite, FullDiskKeepsTheOldTarget) {
    // The test set-up links <artifacts>/full-disk.txt.new to the host's
    // always-full device; only Wine can reach it.
    const char* artifacts = std::getenv("VUT_ARTIFACTS");
    if (!running_on_wine() || !artifacts) GTEST_SKIP() << "needs Wine and the test set-up";
    std::wstring path = L"Z:" + std::wstring(artifacts, artifacts + std::strlen(artifacts)) +
                        L"/full-disk.txt";
    std::replace(path.begin(), path.end(), L'/', L'\\');
    write_bytes(path, "old\r\n");

    // The few bytes fail only when the stream is closed.
    EXPECT_NE(0, write_lines(path, {L"new"}));
    EXPECT_EQ("old\r\n", read_bytes(path));
    // Many bytes fail while the writer runs.
    EXPECT_EQ(ERROR_WRITE_FAULT, write_lines(path, {std::wstring(1 << 16, L'x')}));
    EXPECT_EQ("old\r\n", read_bytes(path));
}

TEST(FuWrite, TargetThatCannotBeReplacedKeepsItsContent) {
    TempFolder folder;
    const std::wstring path = folder / L"list.txt";
    write_bytes(path, "old\r\n");
    win::FileHandle held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_NE(0, write_lines(path, {L"new"}));
    held.reset();
    EXPECT_EQ("old\r\n", read_bytes(path));
    EXPECT_FALSE(exists(path + L".new"));
}

TEST(FuWrite, NewFileThatCannotBeMovedKeepsTheOldTarget) {
    TempFolder folder;
    const std::wstring path = folder / L"list.txt";
    write_bytes(path, "old\r\n");
    struct Reader {
        std::wstring new_path;
        win::FileHandle handle;
    } reader{path + L".new", {}};
    // Someone opens the new file without delete sharing while it is written
    // (a virus scanner may), so that it cannot be moved over the target.
    const FU_WriteFunc write_while_read = [](FILE* stream, void* user) -> int {
        Reader& r = *static_cast<Reader*>(user);
        std::fputws(L"new\n", stream);
        r.handle.reset(CreateFileW(r.new_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return r.handle ? 0 : ERROR_OPEN_FAILED;
    };
    EXPECT_EQ(ERROR_SHARING_VIOLATION, FU_WriteFileEx(path.c_str(), write_while_read, &reader, 0));
    // Replaced in one step, the target is never missing; deleted before the
    // move, it would be gone now.
    EXPECT_EQ("old\r\n", read_bytes(path));
}

TEST(FuWrite, CreatesMissingFoldersAndReportsOnesThatCannotBeMade) {
    TempFolder folder;
    EXPECT_EQ(0, write_lines(folder / L"a\\b/list.txt", {L"x"}));
    EXPECT_EQ("x\r\n", read_bytes(folder / L"a\\b\\list.txt"));

    write_bytes(folder / L"file", "");
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, write_lines(folder / L"file\\list.txt", {L"x"}));
}

TEST(FuWrite, ListWriterReportsAFailedWrite) {
    if (!running_on_wine()) GTEST_SKIP() << "needs Wine's view of /dev/full";
    FILE* raw = nullptr;
    ASSERT_EQ(0, _wfopen_s(&raw, L"Z:\\dev\\full", L"wt"));
    qen_lib::CrtFile full(raw);
    Lines none;
    // More than the stream buffers, so that the write reaches the device.
    Lines long_line = {std::wstring(1 << 16, L'x')};
    EXPECT_EQ(0, WriteFuncForList(full.get(), &none));
    EXPECT_EQ(ERROR_WRITE_FAULT, WriteFuncForList(full.get(), &long_line));
}
