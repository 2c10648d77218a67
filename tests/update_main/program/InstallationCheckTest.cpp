#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <iterator>
#include <vector>

#include "messages/UserMessages.h"
#include "selfcheck/InstallationCheck.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace {

enum class Breakage {
    NoDataFolder,
    NoSettingsFile,
    EmptyMainCommand,
    NoSubCommand,
    EmptyVbsFile,
    EmptyDatabase,
    NoMainProgram,
    NoSubProgram,
    NoScript,
};

// A whole installation below a private base folder: data folder, settings
// file naming three existing programs, exchange file with a stale order.
class Installation {
public:
    Installation() {
        MakeFolder(DataFolder());
        for (const wchar_t* program : {L"main.exe", L"sub.exe", L"update.vbs"}) WriteFileBytes(bin / program, "x");
        WriteFileBytes(Exchange(), "[Command]\r\ndURL=\"https://old.example.jp/setup.exe\"\r\nuninst=u\r\n");
        SetSetting(L"APP", L"MainCommand", (bin / L"main.exe").c_str());
        SetSetting(L"APP", L"SubCommand", (bin / L"sub.exe /called_service").c_str());
        SetSetting(L"APP", L"vbs_file", (bin / L"update.vbs").c_str());
        SetSetting(L"SERVER", L"database", L"https://s.example.jp/db.dat");
    }

    std::wstring DataFolder() const { return base / L"ZRV\\VelmoUpgradeTool\\data"; }
    std::wstring Exchange() const { return DataFolder() + L"\\VelmoUpgradeData.ini"; }
    std::wstring Settings() const { return base / L"ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini"; }
    void SetSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
        EXPECT_TRUE(WritePrivateProfileStringW(section, key, value, Settings().c_str()));
    }

    void Break(Breakage breakage) {
        switch (breakage) {
            case Breakage::NoDataFolder: RemoveTree(DataFolder()); break;
            case Breakage::NoSettingsFile: RemoveTree(Settings()); break;
            case Breakage::EmptyMainCommand: SetSetting(L"APP", L"MainCommand", L""); break;
            case Breakage::NoSubCommand: SetSetting(L"APP", L"SubCommand", nullptr); break;
            case Breakage::EmptyVbsFile: SetSetting(L"APP", L"vbs_file", L""); break;
            case Breakage::EmptyDatabase: SetSetting(L"SERVER", L"database", L""); break;
            case Breakage::NoMainProgram: RemoveTree(bin / L"main.exe"); break;
            case Breakage::NoSubProgram: RemoveTree(bin / L"sub.exe"); break;
            case Breakage::NoScript: RemoveTree(bin / L"update.vbs"); break;
        }
    }

    // The error number the check reports, 0 when it passes. ownsOrders: the
    // run holds the single-instance block.
    int Check(bool ownsOrders = true) {
        InstallationCheck check([this] { return base.path(); });
        CString message = L"untouched";
        if (check.CheckInstallation(message, ownsOrders)) {
            EXPECT_EQ(message, L"untouched");
            return 0;
        }
        for (ErrorNumber number : {K806, K807, K808, K809, K810})
            if (message == ErrorText(number)) return number;
        ADD_FAILURE() << "unexpected message";
        return -1;
    }

    TempFolder base;
    TempFolder bin;
};

TEST(InstallationCheck, PassesAWholeInstallationAndBlanksTheDownloadOrder) {
    Installation installation;
    EXPECT_EQ(installation.Check(), 0);
    EXPECT_EQ(RawProfileValue(installation.Exchange(), L"Command", L"dURL"), L"");
    EXPECT_EQ(RawProfileValue(installation.Exchange(), L"Command", L"uninst"), L"u");
}

TEST(InstallationCheck, ReportsTheFirstFailureByPrecedence) {
    struct Case {
        std::vector<Breakage> breakages;
        int number;
    };
    using B = Breakage;
    const Case cases[] = {
        // Each on its own.
        {{B::NoDataFolder}, K806},
        {{B::NoSettingsFile}, K807},
        {{B::EmptyMainCommand}, K809},
        {{B::NoSubCommand}, K809},
        {{B::EmptyVbsFile}, K809},
        {{B::EmptyDatabase}, K809},
        {{B::NoMainProgram}, K810},
        {{B::NoSubProgram}, K810},
        {{B::NoScript}, K810},
        // Together: the earliest in the order K806 to K810 wins.
        {{B::NoDataFolder, B::NoSettingsFile}, K806},
        {{B::EmptyDatabase, B::NoScript, B::NoDataFolder}, K806},
        {{B::NoMainProgram, B::NoSettingsFile}, K807},
        {{B::NoSubProgram, B::EmptyMainCommand}, K809},
        {{B::NoScript, B::NoSubCommand, B::NoMainProgram}, K809},
        {{B::NoScript, B::NoMainProgram}, K810},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Installation installation;
        for (Breakage breakage : cases[i].breakages) installation.Break(breakage);
        EXPECT_EQ(installation.Check(), cases[i].number) << "case " << i;
    }
}

TEST(InstallationCheck, AMissingExchangeFileIsCreatedByTheBlanking) {
    Installation installation;
    RemoveTree(installation.Exchange());
    EXPECT_EQ(installation.Check(), 0);
    EXPECT_EQ(RawProfileValue(installation.Exchange(), L"Command", L"dURL"), L"");
}

TEST(InstallationCheck, TheOrderIsBlankedAlsoWhenACheckFails) {
    Installation installation;
    installation.Break(Breakage::NoSettingsFile);
    EXPECT_EQ(installation.Check(), K807);
    EXPECT_EQ(RawProfileValue(installation.Exchange(), L"Command", L"dURL"), L"");
}

// A run without the single-instance block runs beside one that holds it: the
// orders are that run's, so nothing of the exchange file changes; a missing
// one is still made, empty, as the blanking would make it.
TEST(InstallationCheck, ARunThatOwnsNoOrdersLeavesTheExchangeFile) {
    using testing_support::read_bytes;
    for (const bool whole : {true, false}) {
        Installation installation;
        if (!whole) installation.Break(Breakage::NoSettingsFile);
        const std::string orders = read_bytes(installation.Exchange());
        EXPECT_EQ(installation.Check(false), whole ? 0 : K807);
        EXPECT_EQ(read_bytes(installation.Exchange()), orders) << whole;
    }
    Installation installation;
    RemoveTree(installation.Exchange());
    EXPECT_EQ(installation.Check(false), 0);
    EXPECT_EQ(read_bytes(installation.Exchange()), "");
}

// Sets a folder's access list from its SDDL text.
bool SetFolderAccess(const std::wstring& folder, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const win::LocalMemory owned(descriptor);
    return SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor) != FALSE;
}

TEST(InstallationCheck, AnExchangeFileThatCannotBeCreatedIsK808) {
    Installation installation;
    installation.Break(Breakage::NoMainProgram);
    RemoveTree(installation.Exchange());
    // Reading and listing only, for everybody.
    ASSERT_TRUE(SetFolderAccess(installation.DataFolder(), L"D:P(A;OICI;GRGX;;;WD)"));
    const bool refused = !WritePrivateProfileStringW(L"probe", L"probe", L"1",
                                                     (installation.DataFolder() + L"\\probe.ini").c_str());
    const int number = installation.Check();
    SetFolderAccess(installation.DataFolder(), L"D:(A;OICI;GA;;;WD)");
    if (!refused)
        GTEST_SKIP() << "anybody may create files in the folder here (Wine keeps no file ACLs, and root passes "
                        "every Unix right); only Windows shows K808 for an exchange file that cannot be made";
    EXPECT_EQ(number, K808);
}

TEST(InstallationCheck, ProgramsAreCutAtTheirOptionsOnly) {
    struct Case {
        const wchar_t* subCommand;
        bool inProgramFolder;
        int number;
    };
    const Case cases[] = {
        {L"sub.exe /called_service", true, 0},
        {L"sub.exe /a /b", true, 0},
        {L"sub.exe", true, 0},
        {L"missing.exe /called_service", true, K810},
        {L"/sub.exe", false, K810},  // no program before the option: the whole text
    };
    Installation installation;
    for (const Case& c : cases) {
        installation.SetSetting(L"APP", L"SubCommand",
                                c.inProgramFolder ? (installation.bin / c.subCommand).c_str() : c.subCommand);
        EXPECT_EQ(installation.Check(), c.number) << testing::PrintToString(std::wstring(c.subCommand));
    }
}

TEST(InstallationCheck, ForwardSlashesInAPathAreNoOptions) {
    Installation installation;
    std::wstring forward = installation.bin / L"main.exe";
    for (wchar_t& ch : forward)
        if (ch == L'\\') ch = L'/';
    installation.SetSetting(L"APP", L"MainCommand", forward.c_str());
    EXPECT_EQ(installation.Check(), 0);

    // Cut at its first "/", a missing program would be tested as its drive.
    const std::wstring missing = forward.substr(0, forward.size() - 8) + L"gone.exe";
    installation.SetSetting(L"APP", L"MainCommand", missing.c_str());
    EXPECT_EQ(installation.Check(), K810);
}

TEST(InstallationCheck, TheScriptPathIsNeverCut) {
    Installation installation;
    installation.SetSetting(L"APP", L"vbs_file", (installation.bin / L"update.vbs /x").c_str());
    EXPECT_EQ(installation.Check(), K810);
}

TEST(InstallationCheck, WithoutTheCommonFolderNothingIsCheckedOrComposed) {
    InstallationCheck check([] { return std::wstring(); });
    CString message = L"untouched";
    SetLastError(0);
    EXPECT_FALSE(check.CheckInstallation(message, true));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(message, L"untouched");
}

TEST(InstallationCheck, TheSingleTestsReportOnTheirOwn) {
    Installation installation;
    InstallationCheck check;
    check.baseFolder = installation.base.path().c_str();
    EXPECT_TRUE(check.DataFolderExists());
    EXPECT_TRUE(check.ToolIniExists());
    EXPECT_TRUE(check.DataIniExists());
    EXPECT_TRUE(check.ReadMainCommand());
    EXPECT_EQ(check.mainCommand, CString((installation.bin / L"main.exe").c_str()));
    EXPECT_TRUE(check.HasDatabaseUrl());
    RemoveTree(installation.Exchange());
    EXPECT_FALSE(check.DataIniExists());
    // A file in place of the data folder is no data folder.
    RemoveTree(installation.DataFolder());
    WriteFileBytes(installation.DataFolder(), "x");
    EXPECT_FALSE(check.DataFolderExists());
}

}  // namespace
