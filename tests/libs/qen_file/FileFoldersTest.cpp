// Folder creation, moving and copying, with the log entries of failures.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "logged_file_test.h"
#include "qen_lib/file.h"
#include "support/ProgramRun.h"
#include "support/linux_link.h"
#include "support/temp_folder.h"
#include "tree_removal.h"

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

// While it lives, a removal stops at each folder it holds for `look`.
class HoldsWatched {
public:
    using Look = std::function<void(HANDLE folder)>;
    explicit HoldsWatched(Look look) {
        s_look = std::move(look);
        file::detail::held_folder_hook() = forward;
    }
    ~HoldsWatched() {
        file::detail::held_folder_hook() = nullptr;
        s_look = nullptr;
    }
    HoldsWatched(const HoldsWatched&) = delete;
    HoldsWatched& operator=(const HoldsWatched&) = delete;

private:
    static void forward(HANDLE folder) { s_look(folder); }
    static Look s_look;
};

HoldsWatched::Look HoldsWatched::s_look;

ACCESS_MASK granted_access(HANDLE handle) {
    PUBLIC_OBJECT_BASIC_INFORMATION info = {};
    ULONG size = 0;
    return NtQueryObject(handle, ObjectBasicInformation, &info, sizeof info, &size) >= 0 ? info.GrantedAccess : 0;
}

// The folder that the handle holds, as "\\?\C:\...".
std::wstring held_path(HANDLE folder) {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleW(folder, path, MAX_PATH * 2, VOLUME_NAME_DOS);
    return length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}

// What another program's rename of the folder ends with: 0 when it was
// moved (and it is moved back), else the error's code.
DWORD renamed_by_another_program(const std::wstring& folder) {
    const std::wstring moved = folder + L".moved";
    const testing_support::RunningProgram probe = testing_support::StartProgram(
        testing_support::BuildTreePath(RENAME_PROBE), L"\"" + folder + L"\" \"" + moved + L"\"");
    const DWORD code = testing_support::WaitForExit(probe);
    if (code == 0) MoveFileExW(moved.c_str(), folder.c_str(), 0);
    return code;
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

// Each folder of the tree is held to list and delete, without delete sharing,
// from before it is listed until it is gone: meanwhile another program can
// rename neither it nor any folder above it, so none can be swapped for a
// link. Only Windows shows the attack itself, a junction put in place of a
// folder by a rename, and opens relative to a folder's handle that reach the
// folder held: Wine resolves them through the folder's name, and there a
// rename from the host's side ignores every hold.
TEST_F(FileFolders, RemoveTreeHoldsEachFolderUntilItIsGone) {
    const std::wstring top = folder / L"top";
    ASSERT_TRUE(file::make_dirs(top + L"\\a\\b"));
    ASSERT_TRUE(file::make_dirs(top + L"\\c"));
    write_bytes(top + L"\\a\\b\\deep.txt", "d");
    write_bytes(top + L"\\c\\other.txt", "o");
    std::wstring heldTop;             // the first folder held
    std::vector<std::wstring> held;  // each one's path below it
    const HoldsWatched watch([&](HANDLE folderHandle) {
        const std::wstring path = held_path(folderHandle);
        ASSERT_FALSE(path.empty());
        if (heldTop.empty()) heldTop = path;
        EXPECT_EQ(static_cast<ACCESS_MASK>(FILE_LIST_DIRECTORY | DELETE),
                  granted_access(folderHandle) & (FILE_LIST_DIRECTORY | DELETE))
            << testing::PrintToString(path);
        for (std::wstring at = path; at.size() >= heldTop.size(); at.resize(at.rfind(L'\\')))
            EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), renamed_by_another_program(at))
                << testing::PrintToString(at) << " while the removal holds " << testing::PrintToString(path);
        held.push_back(path.substr(heldTop.size()));
    });
    EXPECT_TRUE(file::remove_tree(top));
    EXPECT_FALSE(exists(top));
    std::sort(held.begin(), held.end());
    EXPECT_EQ((std::vector<std::wstring>{L"", L"\\a", L"\\a\\b", L"\\c"}), held);
}
