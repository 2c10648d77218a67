// Whole-file load and save, with the log entries of failures.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fu_test_files.h"
#include "logged_file_test.h"
#include "qen_lib/file.h"
#include "support/temp_folder.h"

namespace file = qen_lib::file;
using Messages = std::vector<std::wstring>;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

std::string text_of(const qen_lib::ByteBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size());
}

}  // namespace

using FileContents = LoggedFileTest;

TEST_F(FileContents, LoadTakesFilesUpToTheLimit) {
    const std::wstring path = folder / L"ten.bin";
    write_bytes(path, std::string("0123456789"));
    bool ok = false;
    EXPECT_EQ("0123456789", text_of(file::load(path, 10, ok)));
    EXPECT_TRUE(ok);

    const qen_lib::ByteBuffer too_big = file::load(path, 9, ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(too_big.empty());
    EXPECT_EQ((Messages{L"qen_lib::file::load:312", L"File too big: filesize=10, path=" + path}),
              log.messages());

    write_bytes(path, "");
    ok = false;
    EXPECT_TRUE(file::load(path, 10, ok).empty());
    EXPECT_TRUE(ok);
}

TEST_F(FileContents, LoadFailuresGiveAnEmptyBuffer) {
    bool ok = true;
    EXPECT_TRUE(file::load(folder / L"missing.bin", 100, ok).empty());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(file::load(folder.path(), 100, ok).empty());
    EXPECT_FALSE(ok);
    const Messages messages = log.messages();
    ASSERT_EQ(4u, messages.size());
    EXPECT_EQ(L"qen_lib::file::load:344", messages[0]);
    EXPECT_EQ(L"File loading failed(2): path=" + folder / L"missing.bin", messages[1]);
    EXPECT_EQ(L"File loading failed(13): path=" + folder.path(), messages[3]);
}

TEST_F(FileContents, LoadRefusesAFileThatGrewAfterItsSizeWasTaken) {
    // Wine shows the host's /proc files on drive Z: with a size of 0 and
    // text behind it, as a file that grows while it is read.
    if (!running_on_wine()) GTEST_SKIP() << "needs Wine's view of /proc";
    const std::wstring grown = L"Z:\\proc\\version";
    bool ok = true;
    EXPECT_TRUE(file::load(grown, 1 << 20, ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_EQ((Messages{L"qen_lib::file::load:344", L"File grew while loading: filesize=0, path=" + grown}),
              log.messages());
}

TEST_F(FileContents, SaveCreatesOrTruncates) {
    const std::wstring path = folder / L"saved.bin";
    write_bytes(path, "a much longer old content");
    EXPECT_TRUE(file::save(path, "\x00\x01\r\n", 4));
    EXPECT_EQ(std::string("\x00\x01\r\n", 4), read_bytes(path));
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(FileContents, SaveReportsAFolderThatDoesNotExist) {
    const std::wstring path = folder / L"missing\\x.bin";
    EXPECT_FALSE(file::save(path, "x", 1));
    EXPECT_EQ((Messages{L"qen_lib::file::save:358", L"File writting failed(2): path=" + path}),
              log.messages());
}

TEST_F(FileContents, SaveReportsAFullDisk) {
    // Wine reaches the host's always-full device through drive Z:; on Windows
    // only a really full disk shows this case.
    if (!running_on_wine()) GTEST_SKIP() << "needs Wine's view of /dev/full";
    const std::wstring full = L"Z:\\dev\\full";
    // A few bytes stay in the stream's buffer until it is closed; many fail
    // at once.
    EXPECT_FALSE(file::save(full, "x", 1));
    const std::string many(1 << 16, 'x');
    EXPECT_FALSE(file::save(full, many.data(), many.size()));
    EXPECT_EQ((Messages{L"qen_lib::file::save:377", L"File writting failed(28): path=" + full,
                        L"qen_lib::file::save:377", L"File writting failed(28): path=" + full}),
              log.messages());
}
