// Shell copy, delete and rename. What the shell is asked is seen through a
// recording call; what it does is seen under Wine on real folders.
//
// Wine cannot show: that Windows would put up an error box without
// FOF_NOERRORUI (Wine's shell shows none either way), so the flags are
// checked as passed; paths past MAX_PATH on a real folder; and a folder held
// open by another program blocking a rename (Wine lets it be renamed).
#include <gtest/gtest.h>

#include <vector>

#include "fileops/ShellFileOperations.h"
#include "support/StateFixtures.h"

namespace {

struct Recorded {
    UINT operation;
    std::vector<std::wstring> from;  // the list as the shell reads it, up to its double NUL
    std::vector<std::wstring> to;    // empty for no target list
    bool toIsNull;
    FILEOP_FLAGS flags;
    HWND owner;
};

std::vector<Recorded> g_recorded;
std::vector<int> g_answers;  // the shell's results in turn; 0 once they run out

std::vector<std::wstring> ReadList(PCZZWSTR list) {
    std::vector<std::wstring> paths;
    for (const wchar_t* at = list; at && *at; at += wcslen(at) + 1) paths.emplace_back(at);
    return paths;
}

int WINAPI RecordingShell(LPSHFILEOPSTRUCTW op) {
    g_recorded.push_back({op->wFunc, ReadList(op->pFrom), ReadList(op->pTo), op->pTo == nullptr, op->fFlags, op->hwnd});
    if (g_answers.empty()) return 0;
    const int answer = g_answers.front();
    g_answers.erase(g_answers.begin());
    return answer;
}

int WINAPI AbortingShell(LPSHFILEOPSTRUCTW op) {
    op->fAnyOperationsAborted = TRUE;
    return 0;
}

class ShellCallTest : public testing::Test {
protected:
    void SetUp() override {
        g_recorded.clear();
        g_answers.clear();
        WriteFileBytes(m_folder / L"cs1\\a.cer", "a");
    }
    TempFolder m_folder;
};

}  // namespace

TEST_F(ShellCallTest, OneSilentOperationWithoutErrorUiPerCall) {
    const std::wstring cs1 = m_folder / L"cs1";
    MakeFolder(cs1 + L".rename");  // what the recorded first rename would have made
    EXPECT_EQ(ShellCopyFiles(cs1 + L"\\*", m_folder / L"backup", RecordingShell), 0);
    EXPECT_EQ(ShellDeleteFiles(cs1 + L"\\*", RecordingShell), 0);
    EXPECT_EQ(ShellRenameRoundTrip(cs1, RecordingShell), 0);
    ASSERT_EQ(g_recorded.size(), 4u);
    const struct {
        UINT operation;
        std::vector<std::wstring> from, to;
        bool toIsNull;
    } expected[] = {
        {FO_COPY, {cs1 + L"\\*"}, {m_folder / L"backup"}, false},
        {FO_DELETE, {cs1 + L"\\*"}, {}, true},
        {FO_RENAME, {cs1}, {cs1 + L".rename"}, false},
        {FO_RENAME, {cs1 + L".rename"}, {cs1}, false},
    };
    for (std::size_t i = 0; i < g_recorded.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_recorded[i].operation, expected[i].operation);
        EXPECT_EQ(g_recorded[i].from, expected[i].from);
        EXPECT_EQ(g_recorded[i].to, expected[i].to);
        EXPECT_EQ(g_recorded[i].toIsNull, expected[i].toIsNull);
        EXPECT_EQ(g_recorded[i].flags, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI);
        EXPECT_EQ(g_recorded[i].owner, nullptr);
    }
}

// 519 characters fit the shell's buffer with its two terminators; one more
// is refused before the shell is asked, never cut to a shorter path.
TEST_F(ShellCallTest, APathThatWouldBeCutIsRefused) {
    const std::wstring base = m_folder / L"cs1\\";
    const auto pathOf = [&](std::size_t length) { return base + std::wstring(length - base.size(), L'x'); };
    struct Case {
        const char* name;
        std::wstring source, target;
        int result;
        std::size_t calls;
    };
    const Case cases[] = {
        {"source of 519", pathOf(519), m_folder.path(), ERROR_PATH_NOT_FOUND, 0},  // does not exist: checked after the length
        {"source of 520", pathOf(520), m_folder.path(), ERROR_FILENAME_EXCED_RANGE, 0},
        {"target of 519", m_folder / L"cs1\\*", pathOf(519), 0, 1},
        {"target of 520", m_folder / L"cs1\\*", pathOf(520), ERROR_FILENAME_EXCED_RANGE, 0},
        {"source with a NUL", m_folder / L"cs1\\*" + std::wstring(1, L'\0') + L"C:\\windows", m_folder.path(),
         ERROR_INVALID_NAME, 0},
        {"empty source", L"", m_folder.path(), ERROR_INVALID_NAME, 0},
    };
    for (const Case& c : cases) {
        g_recorded.clear();
        EXPECT_EQ(ShellCopyFiles(c.source, c.target, RecordingShell), c.result) << c.name;
        ASSERT_EQ(g_recorded.size(), c.calls) << c.name;
        if (c.calls) {
            EXPECT_EQ(g_recorded[0].to, std::vector<std::wstring>{c.target}) << c.name;
        }
    }
    g_recorded.clear();
    EXPECT_EQ(ShellRenameRoundTrip(pathOf(513), RecordingShell), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(ShellDeleteFiles(pathOf(520), RecordingShell), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_TRUE(g_recorded.empty());
}

TEST_F(ShellCallTest, AMissingSourceFailsWithoutAskingTheShell) {
    const struct {
        const char* name;
        std::wstring source;
    } cases[] = {
        {"missing folder with wildcard", m_folder / L"cs9\\*"},
        {"missing folder", m_folder / L"cs9"},
        {"missing file", m_folder / L"cs1\\b.cer"},
        {"wildcard in a folder name", m_folder / L"c*\\a.cer"},
        {"a file where the folder should be", m_folder / L"cs1\\a.cer\\*"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShellCopyFiles(c.source, m_folder / L"backup", RecordingShell), ERROR_PATH_NOT_FOUND) << c.name;
        EXPECT_FALSE(ShellCopyFilesOk(c.source, m_folder / L"backup", RecordingShell)) << c.name;
    }
    EXPECT_TRUE(g_recorded.empty());
}

TEST_F(ShellCallTest, AnAbortedOperationIsNoSuccess) {
    EXPECT_EQ(ShellCopyFiles(m_folder / L"cs1\\*", m_folder / L"backup", AbortingShell), ERROR_CANCELLED);
}

TEST_F(ShellCallTest, RenameRoundTripStopsAtAFailedFirstRenameAndRetriesTheWayBack) {
    g_answers = {183};
    EXPECT_EQ(ShellRenameRoundTrip(m_folder / L"cs1", RecordingShell), 183);
    EXPECT_EQ(g_recorded.size(), 1u);

    // The renamed folder is what the shell is asked to rename back: create
    // it, as the first rename would have.
    MakeFolder(m_folder / L"cs1.rename");
    g_recorded.clear();
    g_answers = {0, 32, 32, 0};
    EXPECT_EQ(ShellRenameRoundTrip(m_folder / L"cs1", RecordingShell), 0);
    EXPECT_EQ(g_recorded.size(), 4u);

    g_recorded.clear();
    g_answers = {0, 32, 32, 32, 32, 32};
    EXPECT_EQ(ShellRenameRoundTrip(m_folder / L"cs1", RecordingShell), 32);
    EXPECT_EQ(g_recorded.size(), 6u);
}

// The real shell under Wine.
TEST(ShellFileOperations, CopyDeleteAndRenameFolders) {
    TempFolder folder;
    const std::wstring cs1 = folder / L"cs1";
    WriteFileBytes(cs1 + L"\\a.cer", "a");
    WriteFileBytes(cs1 + L"\\index.txt", "12\r\n");
    WriteFileBytes(cs1 + L"\\indexV2.txt.0", "mac");

    EXPECT_TRUE(ShellCopyFilesOk(cs1 + L"\\*", folder / L"backup\\cs1"));
    EXPECT_EQ(testing_support::read_bytes(folder / L"backup\\cs1\\index.txt"), "12\r\n");
    EXPECT_TRUE(testing_support::exists(folder / L"backup\\cs1\\indexV2.txt.0"));

    MakeFolder(folder / L"only-cer");
    EXPECT_TRUE(ShellCopyFilesOk(cs1 + L"\\*.cer", folder / L"only-cer"));
    EXPECT_TRUE(testing_support::exists(folder / L"only-cer\\a.cer"));
    EXPECT_FALSE(testing_support::exists(folder / L"only-cer\\index.txt"));

    EXPECT_EQ(ShellRenameRoundTrip(cs1), 0);
    EXPECT_TRUE(testing_support::exists(cs1 + L"\\a.cer"));
    EXPECT_FALSE(testing_support::exists(cs1 + L".rename"));

    EXPECT_EQ(ShellDeleteFiles(cs1 + L"\\*"), 0);
    EXPECT_TRUE(testing_support::exists(cs1));
    EXPECT_FALSE(testing_support::exists(cs1 + L"\\a.cer"));
    // Deleting "*" of an empty folder leaves the folder.
    ShellDeleteFiles(cs1 + L"\\*");
    EXPECT_TRUE(testing_support::exists(cs1));
}

TEST(ShellFileOperations, AMissingSourceFolderIsAFailureAndCopiesNothing) {
    TempFolder folder;
    EXPECT_NE(ShellCopyFiles(folder / L"cs1\\*", folder / L"backup"), 0);
    EXPECT_NE(ShellCopyFiles(folder / L"cs1", folder / L"backup"), 0);
    EXPECT_FALSE(testing_support::exists(folder / L"backup"));
}

TEST(ShellFileOperations, ARenameThatCannotHappenChangesNothing) {
    TempFolder folder;
    WriteFileBytes(folder / L"cs1\\a.cer", "a");
    WriteFileBytes(folder / L"cs1.rename\\b.cer", "b");
    EXPECT_NE(ShellRenameRoundTrip(folder / L"cs1"), 0);
    EXPECT_TRUE(testing_support::exists(folder / L"cs1\\a.cer"));
    EXPECT_TRUE(testing_support::exists(folder / L"cs1.rename\\b.cer"));
    EXPECT_NE(ShellRenameRoundTrip(folder / L"cs9"), 0);
    EXPECT_FALSE(testing_support::exists(folder / L"cs9.rename"));
}
