// The client's certificate folders replaced from the package as this program
// checks it again: the signed cabinets of the main program's tests, a
// complete store of another root planted where the main program unpacks, the
// real shell under Wine and the prefix's machine Root store.
//
// Only Windows can show: that a user is denied writing the staging and backup
// folders (Wine keeps no access lists: it shows only that nobody but the
// owner and SYSTEM is granted anything), that a leftover staging folder owned
// by the Administrators is removed rather than set aside, and that backup
// folders owned by them are kept with the older backups (Wine reports every
// file as the user's, so here each is set aside and made again), and that a
// folder held open by another program fails its rename (here the failures
// are injected). Links are made from the host's side, as junctions would be
// on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>

#include "AdminOnlyAccess.h"
#include "RootStoreFixtures.h"
#include "SetAsideEntries.h"
#include "certfolders/CertFolderUpdate.h"
#include "certfolders/StagedCertPackage.h"
#include "fileops/AdminOnlyFolder.h"
#include "fileops/HeldFolder.h"
#include "paths/PathConstants.h"
#include "support/HostLink.h"
#include "support/StateFixtures.h"
#include "support/linux_link.h"

namespace {

using Stores = std::vector<std::map<std::wstring, std::string>>;

// The real shell, except that each operation of g_failKind whose source ends
// with g_failSource fails, however often it is asked, after g_beforeFailure
// has played what a user does meanwhile.
UINT g_failKind = 0;
std::wstring g_failSource;
std::function<void()> g_beforeFailure;

int WINAPI FailingShell(LPSHFILEOPSTRUCTW op) {
    const std::wstring from = op->pFrom;
    const bool fails = op->wFunc == g_failKind && from.size() >= g_failSource.size() &&
                       from.compare(from.size() - g_failSource.size(), std::wstring::npos, g_failSource) == 0;
    if (fails && g_beforeFailure) std::exchange(g_beforeFailure, nullptr)();
    return fails ? ERROR_ACCESS_DENIED : SHFileOperationW(op);
}

int WINAPI NoWarning(HWND, LPCWSTR text, LPCWSTR, UINT) {
    ADD_FAILURE() << testing::PrintToString(std::wstring(text));
    return IDOK;
}

Stores StoresIn(const std::wstring& folder) { return {FolderFiles(folder + L"\\cs1"), FolderFiles(folder + L"\\cs2")}; }

// The planted store's cs1 and cs2 below `folder`.
void PlantStores(const std::wstring& folder) {
    for (const wchar_t* store : {L"\\cs1", L"\\cs2"})
        for (const auto& [name, bytes] : FolderFiles(PlantedStore() + store))
            WriteFileBytes(folder + store + L"\\" + name, bytes);
}

// A base folder as the main program leaves it (the cabinet downloaded, the
// planted store where it unpacks) and a client whose stores hold an index,
// its Mac file and one certificate each.
class Scene {
public:
    explicit Scene(const wchar_t* cabinet, int cs1 = 12, int cs2 = 7) {
        g_failKind = 0;
        g_beforeFailure = nullptr;
        MakeFolder(Base(DATA_SUBDIR));
        if (cabinet) WriteFileBytes(Base(CACERTS_CAB_SUBPATH), testing_support::read_bytes(PackageFixture(cabinet)));
        PlantStores(Base(CACERTS_SUBDIR));
        for (const auto& [store, counter] : {std::pair{L"\\cs1\\", cs1}, std::pair{L"\\cs2\\", cs2}}) {
            if (counter < 0) continue;
            WriteFileBytes(Wrap() + store + L"indexV2.txt", std::to_string(counter) + "\r\n");
            WriteFileBytes(Wrap() + store + L"indexV2.txt.0", "mac " + std::to_string(counter));
            WriteFileBytes(Wrap() + store + L"old.cer", "old certificate");
        }
        before = StoresIn(Wrap());
    }
    bool Update(bool withClient = true) {
        CertFolderUpdateCalls calls;
        calls.shell = FailingShell;
        calls.roots.warn = NoWarning;
        return UpdateCertificateFolders(m_base.path(), withClient ? Client() : L"", calls);
    }
    std::wstring Base(const wchar_t* subpath) const { return m_base.path() + subpath; }
    // The client folder, in a folder of its own.
    std::wstring Above(const wchar_t* subpath) const { return m_above.path() + subpath; }
    std::wstring Client() const { return m_above / L"Velmo"; }
    std::wstring Wrap() const { return Client() + L"\\.kvxwrap"; }
    std::vector<std::wstring> Backups() const {
        std::vector<std::wstring> folders;
        for (const auto& [name, bytes] : FolderFiles(Base(CACERTS_BACKUP_SUBDIR)))
            folders.push_back(Base(CACERTS_BACKUP_SUBDIR) + L"\\" + name);
        return folders;
    }

    Stores before;

private:
    TempFolder m_base;
    TempFolder m_above;
};

class CertFolderUpdateTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_roots.size(), 4u); }  // the package's three and the planted one
    bool Registered() const {
        for (std::size_t i = 0; i < 3; ++i)
            if (!InMachineRoot(m_roots[i])) return false;
        return true;
    }
    // What the main program left is never used: not its root, nor its files,
    // and the staging folder is gone.
    void ExpectNothingPlantedUsed(const Scene& scene, const char* name) const {
        EXPECT_FALSE(InMachineRoot(m_roots[3])) << name;
        EXPECT_NE(StoresIn(scene.Wrap()), StoresIn(PlantedStore())) << name;
        EXPECT_FALSE(testing_support::exists(scene.Base(CERT_STAGING_SUBDIR))) << name;
    }

    const Stores m_good = StoresIn(GoodPackage());
    const std::vector<std::string> m_roots = [] {
        std::vector<std::string> roots = CertFiles(GoodPackage() + L"\\cs1");
        roots.push_back(CertFiles(PlantedStore() + L"\\cs1").at(0));
        return roots;
    }();
};

}  // namespace

TEST_F(CertFolderUpdateTest, OnlyANewerCheckedPackageReplacesTheFoldersWithABackup) {
    const struct {
        const char* name;
        const wchar_t* cabinet;
        int cs1, cs2;  // the client's counters; -1: no such folder
        bool withClient, result, replaced, backedUp;
    } rows[] = {
        {"cs1 newer", L"good.cab", 12, 7, true, true, true, true},
        {"cs2 newer", L"good.cab", 13, 6, true, true, true, true},
        {"same counters", L"good.cab", 13, 7, true, true, false, false},
        {"unsigned", L"unsigned.cab", 12, 7, true, false, false, false},
        {"signer not accepted", L"wrong_signer.cab", 12, 7, true, false, false, false},
        {"store spoiled", L"spoiled.cab", 12, 7, true, false, false, false},
        {"a name leaving the folder", L"name_2.cab", 12, 7, true, false, false, false},
        {"no cabinet", nullptr, 12, 7, true, false, false, false},
        {"client without cs2: its backup fails", L"good.cab", 12, -1, true, false, false, true},
        {"no client folder", L"good.cab", 12, 7, false, false, false, false},
    };
    for (const auto& row : rows) {
        const MachineRootCleanup cleanup(m_roots);
        Scene scene(row.cabinet, row.cs1, row.cs2);
        EXPECT_EQ(scene.Update(row.withClient), row.result) << row.name;
        EXPECT_EQ(StoresIn(scene.Wrap()), row.replaced ? m_good : scene.before) << row.name;
        EXPECT_EQ(Registered(), row.replaced) << row.name;
        ExpectNothingPlantedUsed(scene, row.name);
        const std::vector<std::wstring> backups = scene.Backups();
        ASSERT_EQ(backups.size(), row.backedUp ? 1u : 0u) << row.name;
        if (row.replaced) {
            EXPECT_EQ(StoresIn(backups[0]), scene.before) << row.name;
        }
    }
}

TEST_F(CertFolderUpdateTest, AReplacementThatFailsPartWayLeavesBothFoldersAsTheyWere) {
    const MachineRootCleanup cleanup(m_roots);
    const struct {
        const char* name;
        UINT kind;
        const wchar_t* source;
    } rows[] = {
        {"backup of cs2", FO_COPY, L"\\.kvxwrap\\cs2\\*"},
        {"rename of cs2", FO_RENAME, L"\\.kvxwrap\\cs2"},
        {"rename of cs1 back", FO_RENAME, L"\\.kvxwrap\\cs1.rename"},
        {"new index of cs1", FO_COPY, L"\\package\\cs1\\index*"},
        {"new certificates of cs2", FO_COPY, L"\\package\\cs2\\*.cer"},
    };
    for (const auto& row : rows) {
        Scene scene(L"good.cab");
        g_failKind = row.kind;
        g_failSource = row.source;
        EXPECT_FALSE(scene.Update()) << row.name;
        EXPECT_EQ(StoresIn(scene.Wrap()), scene.before) << row.name;
        EXPECT_FALSE(Registered()) << row.name;
        ExpectNothingPlantedUsed(scene, row.name);
    }
}

// What lies at the staging folder's place first is set aside, never read,
// followed or emptied, whatever names a user took in advance; what a round
// trip of an earlier run left under ".rename" is cleared first.
TEST_F(CertFolderUpdateTest, LeftoversOfEarlierRunsOrOfAUserNeverBlockTheUpdate) {
    enum class Leftover { Staging, StagingWithAsideNamesTaken, RenameBesideCs1, RenameAlone };
    const struct {
        const char* name;
        Leftover leftover;
    } rows[] = {
        {"a planted staging folder", Leftover::Staging},
        {"a planted staging folder, .aside1 to .aside100 taken", Leftover::StagingWithAsideNamesTaken},
        {"cs1.rename beside cs1", Leftover::RenameBesideCs1},
        {"cs1.rename alone", Leftover::RenameAlone},
    };
    for (const auto& row : rows) {
        const MachineRootCleanup cleanup(m_roots);
        Scene scene(L"good.cab");
        const std::wstring staging = scene.Base(CERT_STAGING_SUBDIR);
        const std::wstring cs1 = scene.Wrap() + L"\\cs1";
        const std::wstring stale = cs1 + L".rename\\stale.cer";
        switch (row.leftover) {
        case Leftover::StagingWithAsideNamesTaken:
            for (int n = 1; n <= 100; ++n) MakeFolder(staging + L".aside" + std::to_wstring(n));
            [[fallthrough]];
        case Leftover::Staging:
            PlantStores(staging + L"\\package");
            WriteFileBytes(staging + L"\\cacerts.cab", testing_support::read_bytes(PackageFixture(L"unsigned.cab")));
            break;
        case Leftover::RenameBesideCs1:
            WriteFileBytes(stale, "stale certificate");
            break;
        case Leftover::RenameAlone:
            ASSERT_TRUE(MoveFileExW(cs1.c_str(), (cs1 + L".rename").c_str(), 0)) << row.name;
            break;
        }
        EXPECT_TRUE(scene.Update()) << row.name;
        EXPECT_EQ(StoresIn(scene.Wrap()), m_good) << row.name;
        EXPECT_TRUE(Registered()) << row.name;
        ExpectNothingPlantedUsed(scene, row.name);
        EXPECT_FALSE(testing_support::exists(cs1 + L".rename")) << row.name;
        const std::vector<std::wstring> backups = scene.Backups();
        ASSERT_EQ(backups.size(), 1u) << row.name;
        EXPECT_EQ(StoresIn(backups[0]), scene.before) << row.name;
        if (row.leftover == Leftover::RenameBesideCs1) {
            const std::vector<std::wstring> aside = SetAsideEntries(cs1 + L".rename");
            ASSERT_EQ(aside.size(), 1u) << row.name;
            EXPECT_EQ(testing_support::read_bytes(aside[0] + L"\\stale.cer"), "stale certificate") << row.name;
        } else if (row.leftover != Leftover::RenameAlone) {
            const std::vector<std::wstring> aside = SetAsideEntries(staging);
            ASSERT_EQ(aside.size(), 1u) << row.name;
            EXPECT_EQ(StoresIn(aside[0] + L"\\package"), StoresIn(PlantedStore())) << row.name;
        }
    }
}

// A user who made the backup folder first could swap the backup that a
// failed replacement restores from: the folders are made again admin-only,
// and held, so that nobody can move the backup away meanwhile.
TEST_F(CertFolderUpdateTest, AFailedReplacementRestoresOnlyWhatThisRunBackedUp) {
    const MachineRootCleanup cleanup(m_roots);
    Scene scene(L"good.cab");
    const std::wstring backupRoot = scene.Base(L"\\ZRV\\VelmoUpgradeTool\\backup");
    const std::wstring planted = scene.Base(CACERTS_BACKUP_SUBDIR) + L"\\20000101000000";
    PlantStores(planted);
    g_failKind = FO_COPY;
    g_failSource = L"\\package\\cs2\\*.cer";
    bool swapped = false;
    g_beforeFailure = [&] {
        // The user moves this run's backup, or the folder above it, away and
        // puts their stores in its place.
        const std::vector<std::wstring> backups = scene.Backups();
        ASSERT_FALSE(backups.empty());
        const std::wstring stamp = backups.back();
        swapped = MoveFileExW(stamp.c_str(), (stamp + L".user").c_str(), 0) ||
                  MoveFileExW(backupRoot.c_str(), (backupRoot + L".user").c_str(), 0);
        if (swapped) PlantStores(stamp);
    };
    EXPECT_FALSE(scene.Update());
    EXPECT_FALSE(swapped) << "the backup could be moved away during the replacement";
    EXPECT_EQ(StoresIn(scene.Wrap()), scene.before);
    EXPECT_FALSE(Registered());
    const std::vector<std::wstring> backups = scene.Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(StoresIn(backups[0]), scene.before);
    for (const std::wstring& folder : {backupRoot, scene.Base(CACERTS_BACKUP_SUBDIR), backups[0]})
        EXPECT_TRUE(GrantsOnlyOwnerSystemAndAdministrators(folder)) << testing::PrintToString(folder);
    // The user's folder is set aside unread (here for the owner Wine
    // reports; on Windows for a user's).
    const std::vector<std::wstring> aside = SetAsideEntries(backupRoot);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(StoresIn(aside[0] + L"\\cacerts\\20000101000000"), StoresIn(PlantedStore()));
}

// A link on the way to a folder of this program's is never followed: one
// above the admin-only folders refuses the update; one at an admin-only
// folder's place is set aside on Windows, which renames the link itself,
// and refused here, where renaming a host link moves what it leads to. A
// link on the way to the client's stores refuses the update too.
TEST_F(CertFolderUpdateTest, LinksOnTheWayToItsFoldersAreNeverFollowed) {
    const struct {
        const char* name;
        bool client;          // below the client folder's parent, else below the tool folder's
        const wchar_t* link;
    } rows[] = {
        {"the backup folder a link", false, L"\\VelmoUpgradeTool\\backup"},
        {"the tool folder a link", false, L"\\VelmoUpgradeTool"},
        {"the client's .kvxwrap a link", true, L"\\Velmo\\.kvxwrap"},
        {"the client folder a link", true, L"\\Velmo"},
        {"a folder above the client folder a link", true, L""},
    };
    for (const auto& row : rows) {
        const MachineRootCleanup cleanup(m_roots);
        Scene scene(L"good.cab");
        const TempFolder victim;
        const std::wstring target = victim / L"target";
        const std::wstring link = row.client ? scene.Above(row.link) : scene.Base(L"\\ZRV") + row.link;
        // The victim holds what was at the link's place, so the run finds its
        // package through the link.
        if (testing_support::exists(link)) {
            ASSERT_TRUE(MoveFileExW(link.c_str(), target.c_str(), 0)) << row.name;
        }
        WriteFileBytes(target + L"\\victim.txt", "victim's file");
        const testing_support::LinuxLink planted(link, target);
        ASSERT_TRUE(planted.Made()) << row.name;
        const auto before = FolderFiles(target);
        EXPECT_FALSE(scene.Update()) << row.name;
        EXPECT_EQ(FolderFiles(target), before) << row.name;
        EXPECT_EQ(StoresIn(scene.Wrap()), scene.before) << row.name;
        EXPECT_FALSE(Registered()) << row.name;
    }
}

TEST(AdminOnlyFolder, GrantsNobodyButTheOwnerAndSystemAndIsNeverTakenOver) {
    TempFolder base;
    WriteFileBytes(base.path() + CACERTS_CAB_SUBPATH.c_str(), testing_support::read_bytes(PackageFixture(L"good.cab")));
    StagedCertPackage package(base.path());
    ASSERT_TRUE(package.Stage());
    ASSERT_TRUE(CreateAdminOnlyFolder(base / L"backup"));
    for (const std::wstring& folder : {package.StagingFolder(), base / L"backup"})
        EXPECT_TRUE(GrantsOnlyOwnerSystemAndAdministrators(folder)) << testing::PrintToString(folder);
    EXPECT_FALSE(CreateAdminOnlyFolder(base / L"backup"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    // Held by the create itself: nobody can swap another folder in before it
    // is used.
    const std::wstring made = base / L"made", moved = base / L"moved";
    {
        const win::FileHandle held = CreateAdminOnlyFolder(made);
        ASSERT_TRUE(held);
        EXPECT_FALSE(MoveFileExW(made.c_str(), moved.c_str(), 0));
    }
    EXPECT_TRUE(MoveFileExW(made.c_str(), moved.c_str(), 0));
}

// A folder of ours is emptied and removed through its own hold, never
// looked up by its name again. A rename from the host's side, which ignores
// every hold, moves it away here and puts a victim's folder at its name:
// nothing of the victim's is touched. Wine resolves opens relative to the
// held folder through its old name, so here what the moved folder holds
// stays too; only Windows shows the removal through the hold done, where no
// rename gets past it.
TEST(HeldFolder, IsRemovedThroughItsOwnHoldNeverByItsName) {
    const TempFolder base;
    HeldFolder held;
    ASSERT_TRUE(held.Make(base.path(), L"\\tool\\staging", 1, HeldFolder::Last::New));
    const std::wstring staging = held.Path(), moved = base / L"tool\\moved";
    WriteFileBytes(staging + L"\\setup.exe", "setup");
    ASSERT_TRUE(MoveOnHost(staging, moved));
    WriteFileBytes(staging + L"\\victim.txt", "victim's file");
    held.Remove();
    EXPECT_EQ(testing_support::read_bytes(staging + L"\\victim.txt"), "victim's file");
}

TEST(CertBackupFolder, NamedByTheSecondOfTheUpdate) {
    const SYSTEMTIME time = {2024, 1, 0, 2, 3, 4, 5, 0};
    EXPECT_EQ(CertBackupSubpath(time), L"\\ZRV\\VelmoUpgradeTool\\backup\\cacerts\\20240102030405");
}
