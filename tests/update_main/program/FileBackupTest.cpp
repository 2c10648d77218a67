#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "allowlist/FileBackup.h"
#include "support/StateFixtures.h"
#include "support/replace_seam.h"
#include "win/handle.h"

using testing_support::exists;
using testing_support::read_bytes;

namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

enum class Before {
    NoFolder,        // first install: not even the whitelist folder
    OldList,         // an installed list to replace
    NoSource,        // the download is missing
    BackupExists,    // a replacement of the same second came first
    FolderIsFile,    // a file has the whitelist folder's name: nothing can be copied there
    TargetIsFolder,  // a folder has the list's name: nothing can be renamed onto it
};

constexpr wchar_t kMove[] = L"ファイルの移動でエラーが発生しました：";

const struct ReplaceCase {
    const char* name;
    Before before;
    DWORD error;  // ~0u: any but 0
    const wchar_t* message;
    int names;  // which paths follow the message, by index below
    const char* target;
    const char* backup;
} kReplaceCases[] = {
    {"first install makes the folder", Before::NoFolder, 0, L"", 0, "new", ""},
    {"the old list is kept", Before::OldList, 0, L"", 0, "new", "old"},
    {"no download", Before::NoSource, ERROR_FILE_NOT_FOUND, L"ファイルが存在しません：", 1, "old", ""},
    {"a backup of the same second", Before::BackupExists, ERROR_FILE_EXISTS, kMove, 2, "old", "earlier"},
    {"the copy fails", Before::FolderIsFile, ~0u, L"ファイルのコピーでエラーが発生しました：", 3, "", ""},
    {"the final rename fails", Before::TargetIsFolder, ~0u, kMove, 4, "", ""},
};

}  // namespace

TEST(ReplaceFileWithBackup, InstallsTheDownloadAndKeepsTheOldList) {
    for (const ReplaceCase& c : kReplaceCases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        const std::wstring base = root / L"whitelist\\ObWhiteList";
        const std::wstring target = base + L".txt";
        const std::wstring backup = base + L".20261208090503.txt";
        const std::wstring source = root / L"ObWhiteList.txt";
        if (c.before != Before::NoSource) WriteFileBytes(source, "new");
        if (c.before == Before::FolderIsFile) WriteFileBytes(root / L"whitelist", "x");
        if (c.before == Before::TargetIsFolder) MakeFolder(target);
        if (c.before == Before::OldList || c.before == Before::NoSource || c.before == Before::BackupExists)
            WriteFileBytes(target, "old");
        if (c.before == Before::BackupExists) WriteFileBytes(backup, "earlier");

        const testing_support::ReplaceSteps steps;
        const OperationResult result = ReplaceFileWithBackup(base, L".txt", source, Time(2026, 12, 8, 9, 5, 3));
        if (c.error == 0) {
            // The new list's data on the disk before the move that names it
            // (a real power loss only Windows can show).
            EXPECT_EQ(std::vector<std::wstring>(
                          {L"flush ObWhiteList.txt.new", L"move ObWhiteList.txt.new ObWhiteList.txt"}),
                      steps.steps());
        }
        EXPECT_EQ(c.error == 0 ? 0 : 2, result.status);
        EXPECT_EQ(std::system_category(), result.error.category());
        EXPECT_EQ(c.error != 0, result.error.value() != 0);
        if (c.error != ~0u) {
            EXPECT_EQ(static_cast<int>(c.error), result.error.value());
        }
        const std::wstring names[] = {L"", source, target + L"→" + backup, source + L"→" + target,
                                      target + L".new→" + target};
        EXPECT_EQ(c.message + names[c.names], result.message);
        EXPECT_EQ(c.target, read_bytes(target));
        EXPECT_EQ(c.backup, read_bytes(backup));
        EXPECT_FALSE(exists(target + L".new"));
        EXPECT_EQ(c.before == Before::NoSource ? "" : "new", read_bytes(source));  // the download stays
    }
}

TEST(ReplaceFileWithBackup, NamesTheBackupAfterTheLocalTime) {
    EXPECT_EQ(L"C:\\d\\ObWhiteList.20400102235958.txt",
              BackupFileName(L"C:\\d\\ObWhiteList", L".txt", Time(2040, 1, 2, 23, 59, 58)));
    TempFolder root;
    WriteFileBytes(root / L"ObWhiteList.txt", "old");
    WriteFileBytes(root / L"download.txt", "new");
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    ASSERT_EQ(0, ReplaceFileWithBackup(root / L"ObWhiteList", L".txt", root / L"download.txt").status);
    // Taken again should the second have turned meanwhile.
    const std::wstring first = BackupFileName(root / L"ObWhiteList", L".txt", now);
    GetLocalTime(&now);
    EXPECT_TRUE(exists(first) || exists(BackupFileName(root / L"ObWhiteList", L".txt", now)));
}

// A reader beside a replacement never finds the list missing nor half
// written; a replacement that meets its open handle may fail instead.
TEST(ReplaceFileWithBackup, AReaderBesideItAlwaysFindsAWholeList) {
    TempFolder root;
    const std::wstring target = root / L"ObWhiteList.txt";
    const std::string lists[] = {std::string(64 * 1024, 'a'), std::string(48 * 1024, 'b')};
    const std::wstring sources[] = {root / L"a.txt", root / L"b.txt"};
    for (int i = 0; i < 2; ++i) WriteFileBytes(sources[i], lists[i]);
    WriteFileBytes(target, lists[0]);

    std::atomic<bool> done{false};
    int reads = 0, broken = 0;
    std::thread reader([&] {
        for (; !done; Sleep(1), ++reads) {
            const win::FileHandle file(CreateFileW(target.c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
            std::string bytes(lists[0].size() + 1, '\0');
            DWORD read = 0;
            ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
            bytes.resize(read);
            if (bytes != lists[0] && bytes != lists[1]) ++broken;
        }
    });
    int replaced = 0, installed = 0;
    for (WORD i = 0; i < 100; ++i) {
        if (ReplaceFileWithBackup(root / L"ObWhiteList", L".txt", sources[(i + 1) % 2], Time(2030, 1, 1, 0, i / 60, i % 60))
                .status == 0) {
            ++replaced;
            installed = (i + 1) % 2;
        }
    }
    done = true;
    reader.join();
    EXPECT_GT(replaced, 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(0, broken);
    EXPECT_TRUE(lists[installed] == read_bytes(target));
}
