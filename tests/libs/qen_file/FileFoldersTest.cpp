// Folder creation, moving and copying, with the log entries of failures.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "logged_file_test.h"
#include "qen_lib/file.h"
#include "support/linux_link.h"
#include "support/temp_folder.h"

namespace file = qen_lib::file;
using Messages = std::vector<std::wstring>;
using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

bool is_folder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

using FileFolders = LoggedFileTest;

TEST_F(FileFolders, MakeDirsCreatesNestedFoldersAndAcceptsExistingOnes) {
    const std::wstring dir = folder / L"a\\b\\c";
    EXPECT_TRUE(file::make_dirs(dir));
    EXPECT_TRUE(is_folder(dir));
    EXPECT_TRUE(file::make_dirs(dir));
    EXPECT_TRUE(file::make_dirs(folder.path()));
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(FileFolders, MakeDirsRefusesANameHeldByAFile) {
    const std::wstring path = folder / L"taken";
    write_bytes(path, "");
    EXPECT_FALSE(file::make_dirs(path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_EQ((Messages{L"qen_lib::file::make_dirs:31",
                        L"Directory creation failed(0x00000050): dir=" + path}),
              log.messages());
}

TEST_F(FileFolders, MakeDirsRefusesRelativePaths) {
    // The shell's folder creation takes absolute paths only (ERROR_BAD_PATHNAME).
    EXPECT_FALSE(file::make_dirs(L"relative\\dir"));
    EXPECT_EQ((Messages{L"qen_lib::file::make_dirs:40",
                        L"Directory creation failed(0x000000a1): dir=relative\\dir"}),
              log.messages());
}

TEST_F(FileFolders, MakeParentDirsCreatesTheFolderPartOnly) {
    EXPECT_TRUE(file::make_parent_dirs(folder / L"x\\y/name.txt"));
    EXPECT_TRUE(is_folder(folder / L"x\\y"));
    EXPECT_FALSE(exists(folder / L"x\\y\\name.txt"));

    EXPECT_FALSE(file::make_parent_dirs(L"sub\\name.txt"));
    EXPECT_FALSE(file::make_parent_dirs(L"name.txt"));
    const Messages messages = log.messages();
    ASSERT_EQ(4u, messages.size());
    EXPECT_EQ(L"qen_lib::file::make_parent_dirs:49", messages[2]);
    EXPECT_EQ(L"Parent directory name can't be derived: dir=name.txt", messages[3]);
}

TEST_F(FileFolders, CopyAndMoveNeverReplaceATarget) {
    const std::wstring from = folder / L"from.bin";
    const std::wstring to = folder / L"to.bin";
    write_bytes(from, "payload");

    EXPECT_TRUE(file::copy_file(from, to));
    EXPECT_EQ("payload", read_bytes(to));
    EXPECT_EQ("payload", read_bytes(from));

    write_bytes(to, "kept");
    EXPECT_FALSE(file::copy_file(from, to));
    EXPECT_FALSE(file::move_file(from, to));
    EXPECT_EQ("kept", read_bytes(to));
    EXPECT_EQ("payload", read_bytes(from));

    const std::wstring moved = folder / L"moved.bin";
    EXPECT_TRUE(file::move_file(from, moved));
    EXPECT_FALSE(exists(from));
    EXPECT_EQ("payload", read_bytes(moved));

    const Messages messages = log.messages();
    ASSERT_EQ(4u, messages.size());
    EXPECT_EQ(L"qen_lib::file::copy_file:116", messages[0]);
    EXPECT_EQ(L"File copying failed(0x00000050): from " + from + L" to " + to, messages[1]);
    EXPECT_EQ(L"qen_lib::file::move_file:105", messages[2]);
    EXPECT_EQ(L"File moving failed(0x000000b7): from " + from + L" to " + to, messages[3]);
}

TEST_F(FileFolders, FileExistsIsFalseForFolders) {
    write_bytes(folder / L"f", "");
    EXPECT_TRUE(file::file_exists(folder / L"f"));
    EXPECT_FALSE(file::file_exists(folder.path()));
    EXPECT_FALSE(file::file_exists(folder / L"missing"));
}

TEST_F(FileFolders, RemoveTreeDeletesEverythingBelowAndRefusesRelativePaths) {
    const std::wstring top = folder / L"top";
    ASSERT_TRUE(file::make_dirs(top + L"\\a\\b"));
    write_bytes(top + L"\\a\\b\\deep.txt", "x");
    write_bytes(top + L"\\file.txt", "y");
    SetFileAttributesW((top + L"\\file.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(file::remove_tree(top));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(top.c_str()));
    EXPECT_TRUE(file::remove_tree(top));  // already gone
    for (const wchar_t* relative : {L"", L"top", L"C:top"}) EXPECT_FALSE(file::remove_tree(relative)) << relative;
}

// A link, the folder given or one below it, is never entered: what it points
// to keeps every file. Wine opens what a link points to even when asked for
// the link itself, so there the link stays and the removal fails; only
// Windows shows the link itself deleted and the removal done.
TEST_F(FileFolders, RemoveTreeNeverEntersALink) {
    const std::wstring target = folder / L"target";
    ASSERT_TRUE(file::make_dirs(target + L"\\inner"));
    write_bytes(target + L"\\kept.txt", "k");
    write_bytes(target + L"\\inner\\deep.txt", "d");
    for (const bool atTop : {true, false}) {
        SCOPED_TRACE(atTop ? "the folder given" : "a folder below");
        const std::wstring tree = folder / (atTop ? L"top" : L"tree");
        if (!atTop) {
            ASSERT_TRUE(file::make_dirs(tree));
            write_bytes(tree + L"\\own.txt", "o");
        }
        testing_support::LinuxLink link(atTop ? tree : tree + L"\\link", target);
        ASSERT_TRUE(link.Made());

        const bool removed = file::remove_tree(tree);
        EXPECT_EQ("k", read_bytes(target + L"\\kept.txt"));
        EXPECT_EQ("d", read_bytes(target + L"\\inner\\deep.txt"));
        EXPECT_EQ(removed, !exists(tree));
        EXPECT_EQ(removed, !link.Made());
        EXPECT_FALSE(exists(tree + L"\\own.txt"));
    }
}
