// The downloaded root-certificate package against the client's stores: signed
// cabinets packed and signed by the independent producers, unpacked for real
// below a temporary data folder.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "certpackage/CertIndexPaths.h"
#include "certpackage/CertPackageExtraction.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "rootcerts/RootCertPackage.h"
#include "support/HostLink.h"
#include "support/ProgramRun.h"
#include "support/StateFixtures.h"
#include "support/linux_link.h"

using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

std::wstring Package(const wchar_t* name) { return testing_support::BuildTreePath(CERT_PACKAGE_FIXTURES) + L"\\" + name; }

// While it lives, the extraction's iteration does `first` before the first
// notification of the platform: what another program may do once the
// extraction has begun.
class InterceptedIteration {
public:
    explicit InterceptedIteration(std::function<void()> first)
        : m_first(std::move(first)), m_platform(std::exchange(detail::CabinetIteration(), &Iterate)) {
        s_current = this;
    }
    ~InterceptedIteration() { detail::CabinetIteration() = m_platform; }
    InterceptedIteration(const InterceptedIteration&) = delete;
    InterceptedIteration& operator=(const InterceptedIteration&) = delete;

private:
    static BOOL WINAPI Iterate(PCWSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_W callback, PVOID context) {
        s_current->m_callback = callback;
        s_current->m_context = context;
        return s_current->m_platform(cabinet, reserved, &Notify, s_current);
    }
    static UINT CALLBACK Notify(PVOID self, UINT notification, UINT_PTR param1, UINT_PTR param2) {
        auto& iteration = *static_cast<InterceptedIteration*>(self);
        if (iteration.m_first) std::exchange(iteration.m_first, nullptr)();
        return iteration.m_callback(iteration.m_context, notification, param1, param2);
    }

    static inline InterceptedIteration* s_current = nullptr;
    std::function<void()> m_first;
    detail::IterateCabinet m_platform;
    PSP_FILE_CALLBACK_W m_callback = nullptr;
    PVOID m_context = nullptr;
};

class RootCertPackageTest : public testing::Test {
protected:
    void SetUp() override { MakeFolder(m_base.path() + DATA_SUBDIR.c_str()); }

    // Puts the cabinet where the download leaves it and checks it against a
    // client whose stores carry the given counters.
    int Check(const wchar_t* cabinet, int client1, int client2, bool withClient = true) {
        const std::string copied = read_bytes(Package(cabinet));
        write_bytes(m_base.path() + CACERTS_CAB_SUBPATH.c_str(), copied);
        WriteFileBytes(m_client / L".kvxwrap\\cs1\\indexV2.txt", std::to_string(client1) + "\r\n");
        WriteFileBytes(m_client / L".kvxwrap\\cs2\\indexV2.txt", std::to_string(client2) + "\r\n");
        m_message.Empty();
        m_newer = -1;
        return UpdateRootCertPackage(m_base.path(), m_newer, m_message, withClient ? m_client.path().c_str() : L"");
    }
    std::wstring PackageFolder() const { return m_base.path() + CACERTS_SUBDIR.c_str(); }

    TempFolder m_base;
    TempFolder m_client;
    CString m_message;
    int m_newer = -1;
};

// The package holds counters 13 and 7.
TEST_F(RootCertPackageTest, UsablePackageIsNewerOnlyAboveTheClientsCounters) {
    struct Row {
        int client1, client2;
        bool withClient;
        int newer;
    };
    for (const Row& row : {Row{12, 7, true, 1}, Row{13, 6, true, 1}, Row{13, 7, true, 0}, Row{14, 8, true, 0},
                           Row{0, 0, false, 0}}) {
        EXPECT_NE(Check(L"good.cab", row.client1, row.client2, row.withClient), 0) << row.client1;
        EXPECT_EQ(m_newer, row.newer) << row.client1 << "/" << row.client2;
        EXPECT_TRUE(m_message.IsEmpty());
    }
}

TEST_F(RootCertPackageTest, RefusedPackagesGiveTheirErrorAndNothingOutsideTheFolder) {
    struct Row {
        const wchar_t* cabinet;
        ErrorNumber expected;
    };
    const Row rows[] = {
        {L"unsigned.cab", K603}, {L"wrong_signer.cab", K603}, {L"spoiled.cab", K604}, {L"name_1.cab", K604},
        {L"name_2.cab", K604},   {L"name_3.cab", K604},        {L"name_4.cab", K604}, {L"name_5.cab", K604},
        {L"name_6.cab", K604},   {L"name_7.cab", K604},        {L"name_8.cab", K604},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Check(row.cabinet, 0, 0), 0) << row.cabinet;
        EXPECT_EQ(m_message, ErrorText(row.expected)) << row.cabinet;
        EXPECT_EQ(m_newer, 0) << row.cabinet;
        for (const std::wstring& outside : {m_base / L"evil.cer", m_base.path() + DATA_SUBDIR.c_str() + L"\\evil.cer",
                                            PackageFolder() + L"\\cs3\\evil.cer", PackageFolder() + L"\\evil.cer"})
            EXPECT_FALSE(exists(outside)) << row.cabinet;
    }
}

// A member outside the two stores is left in the cabinet, and the stores'
// folder names are taken whatever their case.
TEST_F(RootCertPackageTest, HarmlessMembersAreSkippedAndThePackageUsed) {
    const wchar_t* const cabinets[] = {L"skip_1.cab", L"skip_2.cab", L"skip_3.cab", L"upper.cab"};
    for (const wchar_t* cabinet : cabinets) {
        EXPECT_NE(Check(cabinet, 12, 7), 0) << cabinet;
        EXPECT_EQ(m_newer, 1) << cabinet;
        EXPECT_TRUE(m_message.IsEmpty()) << cabinet;
        for (const wchar_t* skipped : {L"\\cs3", L"\\cs1\\sub", L"\\evil.cer"})
            EXPECT_FALSE(exists(PackageFolder() + skipped)) << cabinet;
        EXPECT_TRUE(exists(PackageFolder() + L"\\cs1\\indexV2.txt")) << cabinet;
    }
}

TEST_F(RootCertPackageTest, ExtractionReplacesAnEarlierLongerPackageWhole) {
    ASSERT_NE(Check(L"longer.cab", 0, 0), 0);
    ASSERT_TRUE(exists(PackageFolder() + L"\\cs1\\left-over.cer"));
    ASSERT_NE(Check(L"good.cab", 0, 0), 0);
    EXPECT_FALSE(exists(PackageFolder() + L"\\cs1\\left-over.cer"));
}

// A package folder that is a link is neither emptied nor unpacked into.
// Under Wine the link cannot be removed (Wine opens what it points to), so
// the package is refused; only Windows shows the link deleted and the
// package unpacked into a folder of its own.
TEST_F(RootCertPackageTest, APackageFolderThatIsALinkIsNeverEntered) {
    TempFolder elsewhere;
    write_bytes(elsewhere / L"kept.txt", "k");
    testing_support::LinuxLink link(PackageFolder(), elsewhere.path());
    ASSERT_TRUE(link.Made());

    const int used = Check(L"good.cab", 12, 7);
    EXPECT_EQ(read_bytes(elsewhere / L"kept.txt"), "k");
    EXPECT_FALSE(exists(elsewhere / L"cs1"));
    EXPECT_EQ(used != 0, !link.Made());
    EXPECT_EQ(m_message, used ? CString() : ErrorText(K604));
    EXPECT_EQ(used != 0, exists(PackageFolder() + L"\\cs1\\indexV2.txt"));
}

// A store folder swapped for a link once the extraction has begun: nothing
// is written where the link leads, and the package is refused. Held, the
// folder cannot be renamed on Windows; only a rename from Wine's host side,
// which ignores sharing, gets past the hold, and shows that nothing is
// written by a path that no longer leads to the folder held.
TEST_F(RootCertPackageTest, AStoreFolderSwappedForALinkDuringTheExtractionIsNeverWritten) {
    TempFolder elsewhere;
    write_bytes(elsewhere / L"kept.txt", "k");
    const std::wstring cs1 = PackageFolder() + L"\\cs1";
    std::optional<testing_support::LinuxLink> link;
    {
        const InterceptedIteration swap([&] {
            if (MoveOnHost(cs1, cs1 + L".moved")) link.emplace(cs1, elsewhere.path());
        });
        EXPECT_EQ(Check(L"good.cab", 12, 7), 0);
    }
    ASSERT_TRUE(link && link->Made()) << "no host link could be made";
    EXPECT_EQ(m_message, ErrorText(K604));
    EXPECT_EQ(FolderFiles(elsewhere.path()), (std::map<std::wstring, std::string>{{L"kept.txt", "k"}}));
}

// Every name that Win32 takes for a device. Not through cabinets: Wine reads
// a member's name in the ANSI code page (932), which has no superscript
// digits, and fails the extraction of "CON .cer" on the device itself, so a
// cabinet could not tell this check from the platform.
TEST(ClassifyCertPackageMember, DeviceNamesAreRefused) {
    struct Row {
        const wchar_t* name;
        CertPackageMember member;
    };
    const Row rows[] = {
        {L"cs1\\COM\u00B9.cer", CertPackageMember::Refused}, {L"cs1\\com\u00B2", CertPackageMember::Refused},
        {L"cs2\\LPT\u00B3.txt", CertPackageMember::Refused}, {L"cs1\\lpt\u00B9", CertPackageMember::Refused},
        {L"cs1\\CON .cer", CertPackageMember::Refused},      {L"cs2\\nul  .cer", CertPackageMember::Refused},
        {L"cs1\\COM\u2074.cer", CertPackageMember::StoreFile}, {L"cs1\\COM\u00B9x.cer", CertPackageMember::StoreFile},
        {L"cs1\\CONx .cer", CertPackageMember::StoreFile},
    };
    for (const Row& row : rows) {
        std::wstring storeFile;
        EXPECT_EQ(ClassifyCertPackageMember(row.name, storeFile), row.member) << testing::PrintToString(row.name);
    }
}

TEST(ReadIndexNumber, OnlyAWholeNumberOnTheFirstLineCounts) {
    struct Row {
        const char* text;
        bool read;
        int value;
    };
    const Row rows[] = {
        {"12\r\ncertHash:x\r\n", true, 12}, {" 15\n", true, 15}, {"-3\r\n", true, -3},
        {"15abc\r\n", false, 0},            {"5 \r\n", false, 0}, {"", false, 0},     {"\r\n", false, 0},
    };
    TempFolder folder;
    for (const Row& row : rows) {
        write_bytes(folder / L"indexV2.txt", row.text);
        int value = 99;
        EXPECT_EQ(ReadIndexNumber((folder / L"indexV2.txt").c_str(), value), row.read) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
    int value = 99;
    EXPECT_FALSE(ReadIndexNumber((folder / L"missing.txt").c_str(), value));
    EXPECT_EQ(value, 0);
}

// The client's first-format index counts too; an unreadable one counts 0.
TEST(CertIndexPaths, ClientCounterIsTheLargerOfItsTwoIndexes) {
    TempFolder client, package;
    WriteFileBytes(package / L"cs1\\indexV2.txt", "13\r\n");
    WriteFileBytes(package / L"cs2\\indexV2.txt", "7\r\n");
    WriteFileBytes(client / L".kvxwrap\\cs1\\index.txt", "13\r\n");
    WriteFileBytes(client / L".kvxwrap\\cs1\\indexV2.txt", "12\r\n");
    WriteFileBytes(client / L".kvxwrap\\cs2\\index.txt", "7x\r\n");
    WriteFileBytes(client / L".kvxwrap\\cs2\\indexV2.txt", "7\r\n");
    CertIndexPaths paths;
    ASSERT_TRUE(paths.Build(client.path().c_str()));
    int newer = -1;
    ASSERT_TRUE(paths.IsNewerCertPackage(package.path().c_str(), newer));
    EXPECT_EQ(newer, 0);
    WriteFileBytes(package / L"cs1\\indexV2.txt", "0\r\n");  // an unset counter is never newer
    WriteFileBytes(client / L".kvxwrap\\cs1\\index.txt", "");
    ASSERT_TRUE(paths.IsNewerCertPackage(package.path().c_str(), newer));
    EXPECT_EQ(newer, 0);
    EXPECT_FALSE(CertIndexPaths().Build(L""));
}

// The client's counters are read as _wtol reads them; the package's stay
// whole numbers. The package holds 15 and 7, the client's cs2 holds 7.
TEST(CertIndexPaths, ClientCountersAreReadUpToTheirFirstOtherCharacter) {
    struct Row {
        const char* clientCs1;
        const char* packageCs1;
        bool read;
        int newer;
    };
    const Row rows[] = {
        {" 15abc\r\n", "15\r\n", true, 0}, {"15 \r\n", "15\r\n", true, 0}, {"15x", "15\r\n", true, 0},
        {"abc\r\n", "15\r\n", true, 1},    {"14x\r\n", "15\r\n", true, 1},
        {"0\r\n", "12abc\r\n", false, 0},
    };
    for (const Row& row : rows) {
        TempFolder client, package;
        WriteFileBytes(package / L"cs1\\indexV2.txt", row.packageCs1);
        WriteFileBytes(package / L"cs2\\indexV2.txt", "7\r\n");
        WriteFileBytes(client / L".kvxwrap\\cs1\\indexV2.txt", row.clientCs1);
        WriteFileBytes(client / L".kvxwrap\\cs2\\index.txt", "7\r\n");
        CertIndexPaths paths;
        ASSERT_TRUE(paths.Build(client.path().c_str()));
        int newer = -1;
        EXPECT_EQ(paths.IsNewerCertPackage(package.path().c_str(), newer), row.read) << row.clientCs1;
        EXPECT_EQ(newer, row.newer) << row.clientCs1;
    }
}

}  // namespace
