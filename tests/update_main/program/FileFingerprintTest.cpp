#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "allowlist/FileFingerprint.h"
#include "paths/PathExpansion.h"
#include "support/StateFixtures.h"
#include "updatepaths/UpdatePathSet.h"

namespace {

// SHA-1 of "abc" (the FIPS 180 example) in the list's form.
constexpr wchar_t kAbc[] = L"a9_99_3e_36_47_06_81_6a_ba_3e_25_71_78_50_c2_6c_9c_d0_d8_9d";

// The largest list that was once fingerprinted whole.
constexpr size_t kOnceLargest = 102400;

enum class File { Abc, Other, Largest, Large, LargeOther, Missing, Folder };

// Makes the file; whether a fingerprint can be had of it.
bool Make(File file, const std::wstring& path) {
    switch (file) {
        case File::Abc: WriteFileBytes(path, "abc"); return true;
        case File::Other: WriteFileBytes(path, "abd"); return true;
        case File::Largest: WriteFileBytes(path, std::string(kOnceLargest, 'x')); return true;
        case File::Large: WriteFileBytes(path, std::string(3 * kOnceLargest, 'x')); return true;
        case File::LargeOther: WriteFileBytes(path, std::string(3 * kOnceLargest - 1, 'x') + "y"); return true;
        case File::Missing: return false;
        case File::Folder: MakeFolder(path); return false;
    }
    return false;
}

}  // namespace

TEST(CompareFileFingerprints, OnlyTwoComputedEqualFingerprintsAreUnchanged) {
    const struct {
        File installed, downloaded;
        bool differ;
    } cases[] = {
        {File::Abc, File::Abc, false},         {File::Largest, File::Largest, false}, {File::Abc, File::Other, true},
        {File::Missing, File::Abc, true},      {File::Abc, File::Missing, true},
        // Large lists are compared whole: down to their last byte.
        {File::Large, File::Large, false},     {File::Large, File::LargeOther, true},
        {File::Largest, File::Large, true},
        // What cannot be fingerprinted never counts as unchanged.
        {File::Missing, File::Missing, true},  {File::Folder, File::Folder, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.installed) << "/" << static_cast<int>(c.downloaded));
        TempFolder folder;
        const bool installed = Make(c.installed, folder / L"installed.txt");
        const bool downloaded = Make(c.downloaded, folder / L"downloaded.txt");
        const FingerprintComparison result = CompareFileFingerprints(folder / L"installed.txt", folder / L"downloaded.txt");
        EXPECT_EQ(installed ? 59u : 0u, result.installed.size());
        EXPECT_EQ(downloaded ? 59u : 0u, result.downloaded.size());
        EXPECT_EQ(c.differ, result.differ);
    }
}

TEST(ExpandedPathSet, ExpandsTheTemplatesWhateverTheirLength) {
    TempFolder folder;
    // Longer than the 260 characters a path buffer of old had.
    const std::wstring root = folder / (std::wstring(140, L'd') + L"\\" + std::wstring(140, L'e'));
    SetEnvironmentVariableW(L"VUT_ALLOW_ROOT", root.c_str());
    UpdatePathSet paths;
    paths.noUseFlag = L"%VUT_ALLOW_ROOT%\\bidNoUse.flag";
    paths.whiteListBase = L"%VUT_ALLOW_ROOT%\\whitelist\\ObWhiteList";
    paths.extension = L".txt";
    paths.downloadedWhiteList = L"%VUT_ALLOW_ROOT%\\ObWhiteList.txt";
    paths.updateList = L"%VUT_NOT_SET_ANYWHERE%\\UpdateList.ini";
    paths.setup = L"C:\\plain\\setup.exe";
    const ExpandedPathSet expanded(paths);
    SetEnvironmentVariableW(L"VUT_ALLOW_ROOT", nullptr);

    EXPECT_EQ(root + L"\\bidNoUse.flag", expanded.noUseFlag);
    EXPECT_EQ(root + L"\\whitelist\\ObWhiteList", expanded.whiteListBase);
    EXPECT_EQ(paths.updateList, expanded.updateList);
    EXPECT_EQ(paths.setup, expanded.setup);
    EXPECT_EQ(L"", expanded.msiPackage);
    // The installed list is the expanded base with the extension.
    WriteFileBytes(root + L"\\ObWhiteList.txt", "abc");
    EXPECT_TRUE(expanded.WhiteListDigests().differ);
    WriteFileBytes(root + L"\\whitelist\\ObWhiteList.txt", "abc");
    EXPECT_EQ(kAbc, expanded.WhiteListDigests().installed);
    EXPECT_FALSE(expanded.WhiteListDigests().differ);
}
