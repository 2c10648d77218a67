#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "allowlist/AllowedUrlListUpdater.h"
#include "allowlist/FileFingerprint.h"
#include "paths/PathExpansion.h"
#include "qen_lib/fu.h"
#include "support/StateFixtures.h"

using testing_support::read_bytes;

namespace {

using Lines = std::vector<std::wstring>;

enum class Aux { NoFolder, FolderOnly, List };

// The merge's files below one temporary folder.
struct MergeFiles {
    MergeFiles(const char* policy, Aux aux, const char* auxList, const char* record) {
        paths = {root / L"tool\\ObWhiteList.txt", root / L"prop\\ObWhiteList.txt", root / L"Velmo\\added.txt"};
        if (policy) WriteFileBytes(paths.installedList, policy);
        if (aux == Aux::FolderOnly) MakeFolder(root / L"prop");
        if (aux == Aux::List) WriteFileBytes(paths.auxList, std::string("\xEF\xBB\xBF") + auxList);
        if (record) WriteFileBytes(paths.addedRecord, std::string("\xEF\xBB\xBF") + record);
    }
    TempFolder root;
    AllowedUrlListPaths paths;
};

// Every line as the auxiliary application reads it, empty ones included.
Lines ReadLines(const std::wstring& path) {
    Lines lines;
    EXPECT_EQ(0, FU_TraverseFileEx(path.c_str(), LineFuncForList, &lines, 0, FU_TYPE_UTF8)) << path;
    return lines;
}

const struct MergeCase {
    const char* name;
    const char* policy;
    Aux aux;
    const char* auxList;
    const char* record;
    Lines mergedAux;
    Lines mergedRecord;
} kMergeCases[] = {
    {"ours dropped by the server go, the user's stay", "c\nd\n", Aux::List, "a\nb\nc\n", "b\n", {L"a", L"c", L"d"},
     {L"c", L"d"}},
    {"a user's line the server lists moves to our part", "d\n", Aux::List, "d\na\n", nullptr, {L"a", L"d"}, {L"d"}},
    {"comment and empty lines of the auxiliary list go", "p\n", Aux::List, "# note\n\na\n", nullptr, {L"a", L"p"},
     {L"p"}},
    {"blanks go round the line, not round the comma", "  a.jp/ , 2nd \n", Aux::List, "", nullptr, {L"a.jp/ "},
     {L"a.jp/ "}},
    {"comment lines, also after blanks", "#c\n   # d\nb.jp\n", Aux::List, "", nullptr, {L"b.jp"}, {L"b.jp"}},
    {"entries without a URL are left out", "\n   \n,extra\nc.jp\n\t\n", Aux::List, "", nullptr, {L"c.jp"}, {L"c.jp"}},
    {"a URL listed twice is written twice", "u\nu\n", Aux::List, "", nullptr, {L"u", L"u"}, {L"u", L"u"}},
    {"UTF-8 with its mark, CR LF", "\xEF\xBB\xBF\xE4\xBE\x8B.jp\r\nz\r\n", Aux::List, "", nullptr, {L"例.jp", L"z"},
     {L"例.jp", L"z"}},
    {"no auxiliary list but its folder", "p\nq\n", Aux::FolderOnly, nullptr, "old\n", {L"p", L"q"}, {L"p", L"q"}},
    {"no auxiliary folder: only the record", "p\n", Aux::NoFolder, nullptr, nullptr, {}, {L"p"}},
};

}  // namespace

TEST(AllowedUrlListUpdater, MergesThePolicyListIntoTheAuxiliaryList) {
    for (const MergeCase& c : kMergeCases) {
        SCOPED_TRACE(c.name);
        MergeFiles files(c.policy, c.aux, c.auxList, c.record);
        AllowedUrlListUpdater updater(files.paths);
        ASSERT_EQ(0, updater.Run());
        EXPECT_EQ(c.mergedRecord, ReadLines(files.paths.addedRecord));
        if (c.aux == Aux::NoFolder)
            EXPECT_FALSE(testing_support::exists(files.root / L"prop"));
        else
            EXPECT_EQ(c.mergedAux, ReadLines(files.paths.auxList));
        EXPECT_TRUE(testing_support::exists(files.paths.installedList));
    }
}

// Each failure changes neither the auxiliary list nor the record, nor writes
// into the current folder; the installed list goes, so the next run finds it
// changed and merges again.
TEST(AllowedUrlListUpdater, AFailedMergeChangesNothingAndIsTriedAgain) {
    enum class Fault { NoPolicyList, PolicyListIsFolder, AuxListUnwritable, PathNotExpanded };
    for (Fault fault : {Fault::NoPolicyList, Fault::PolicyListIsFolder, Fault::AuxListUnwritable,
                        Fault::PathNotExpanded}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const bool policy = fault != Fault::NoPolicyList && fault != Fault::PolicyListIsFolder;
        MergeFiles files(policy ? "c\nd\n" : nullptr, Aux::List, "a\nb\nc\n", "b\n");
        WriteFileBytes(files.root / L"downloaded.txt", "c\nd\n");
        if (fault == Fault::PolicyListIsFolder) MakeFolder(files.paths.installedList);
        // The writer's new file cannot be made where a folder has its name.
        if (fault == Fault::AuxListUnwritable) MakeFolder(files.paths.auxList + L".new");
        AllowedUrlListPaths paths = files.paths;
        if (fault == Fault::PathNotExpanded) paths.addedRecord.clear();
        const std::string auxBefore = read_bytes(paths.auxList);
        MakeFolder(files.root / L"current");
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        SetCurrentDirectoryW((files.root / L"current").c_str());

        AllowedUrlListUpdater updater(paths);
        EXPECT_NE(0, updater.Run());
        SetCurrentDirectoryW(current);
        EXPECT_FALSE(testing_support::exists(files.root / L"current\\.new"));
        const std::wstring failed[] = {paths.installedList, paths.installedList, paths.auxList, L""};
        EXPECT_EQ(failed[static_cast<int>(fault)], updater.FailedPath());
        EXPECT_EQ(auxBefore, read_bytes(paths.auxList));
        EXPECT_TRUE(CompareFileFingerprints(paths.installedList, files.root / L"downloaded.txt").differ);
        // The record still names every entry of ours in the auxiliary list.
        RemoveTree(paths.auxList + L".new");
        RemoveTree(paths.installedList);
        WriteFileBytes(paths.installedList, "c\nd\n");
        ASSERT_EQ(0, AllowedUrlListUpdater(files.paths).Run());
        EXPECT_EQ((Lines{L"a", L"c", L"d"}), ReadLines(paths.auxList));
    }
}

TEST(DefaultAllowedUrlListPaths, LieBelowProgramData) {
    const std::wstring programData = ExpandPath(L"%ProgramData%");
    ASSERT_NE(std::wstring::npos, programData.find(L":\\"));
    const AllowedUrlListPaths paths = DefaultAllowedUrlListPaths();
    EXPECT_EQ(programData + L"\\ZRV\\VelmoUpgradeTool\\data\\whitelist\\ObWhiteList.txt", paths.installedList);
    EXPECT_EQ(programData + L"\\obla\\Pelmarch\\prop\\ObWhiteList.txt", paths.auxList);
    EXPECT_EQ(programData + L"\\ZRV\\Velmo\\whitelist\\added_ObWhiteList.txt", paths.addedRecord);
}
