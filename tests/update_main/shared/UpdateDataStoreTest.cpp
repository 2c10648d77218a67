#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <functional>

#include "profile/IniProfile.h"
#include "settings/UpdateDataStore.h"
#include "support/StateFixtures.h"

namespace {

// A store below a private base folder that holds the tool's folders.
class UpdateDataStoreTest : public testing::Test {
protected:
    UpdateDataStoreTest() : store([this] { return base.path(); }) {
        MakeFolder(base / L"ZRV\\VelmoUpgradeTool\\data");
    }

    std::wstring Exchange() const { return base / L"ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini"; }
    std::wstring Settings() const { return base / L"ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini"; }
    std::wstring Value(const wchar_t* section, const wchar_t* key) const {
        return RawProfileValue(Exchange(), section, key);
    }
    // Every order of a run, in the order the main flow writes them.
    void WriteEveryOrder();
    struct Expected {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    void ExpectValues(std::initializer_list<Expected> expected) const {
        for (const Expected& e : expected)
            EXPECT_EQ(Value(e.section, e.key), e.value) << testing::PrintToString(std::wstring(e.key));
    }

    TempFolder base;
    CUpdateDataStore store;
};

AuxAppVersionInfo AuxUpdate(const wchar_t* required, const wchar_t* installed, bool due) {
    AuxAppVersionInfo info;
    info.required = VersionNumber(required);
    info.installed = VersionNumber(installed);
    info.needs_update = due;
    return info;
}

void UpdateDataStoreTest::WriteEveryOrder() {
    ASSERT_TRUE(store.WriteNextCheckDate(2, 1, 2026));
    ASSERT_TRUE(store.WriteSleep(30, -3));
    ASSERT_TRUE(store.WriteProductVersion(ProductVersion{6, 2, 1, L"6.2.1"}));
    ASSERT_TRUE(store.WriteCommand(L"MsiExec.exe /x {1234}", L"https://dl.example.jp/velmo/setup.exe"));
    ASSERT_TRUE(store.WriteMessage(L"新しいバージョンがあります(NL)更新してください"));
    ASSERT_TRUE(store.WriteUninstallAll(L" ;MsiExec.exe /x {1} ;MsiExec.exe /x {2}"));
    ASSERT_TRUE(store.WriteCacerts(5));
    ASSERT_TRUE(store.WriteAuxAppUpdate(AuxUpdate(L"2.0.10", L"2.0.1", true)));
}

TEST_F(UpdateDataStoreTest, WritesEveryOrderAsTheSecondaryProgramReadsIt) {
    WriteEveryOrder();

    ExpectValues({
        {L"Day", L"Day", L"2"},
        {L"Day", L"Mon", L"1"},
        {L"Day", L"Year", L"2026"},
        {L"Sleep", L"Probability", L"30"},
        {L"Sleep", L"Hour", L"-3"},
        {L"Velmo", L"ver", L"6.2.1"},
        {L"Command", L"uninst", L"MsiExec.exe /x {1234}"},
        // The profile reader drops the quotes around the address...
        {L"Command", L"dURL", L"https://dl.example.jp/velmo/setup.exe"},
        {L"Message", L"common", L"新しいバージョンがあります(NL)更新してください"},
        // ...and the blank in front of the first entry.
        {L"Command", L"uninst_all", L";MsiExec.exe /x {1} ;MsiExec.exe /x {2}"},
        {L"Command", L"cacerts", L"1"},
        {L"Pelmarch", L"new_ver", L"2.0.10"},
        {L"Pelmarch", L"current_ver", L"2.0.1"},
        {L"Pelmarch", L"is_new", L"1"},
    });
    // The secondary program reads the numbers with GetPrivateProfileIntW.
    EXPECT_EQ(GetPrivateProfileIntW(L"Velmo", L"major", 0, Exchange().c_str()), 6u);
    EXPECT_EQ(GetPrivateProfileIntW(L"Velmo", L"minor", 0, Exchange().c_str()), 2u);
    EXPECT_EQ(GetPrivateProfileIntW(L"Velmo", L"sub_minor", 0, Exchange().c_str()), 1u);
    EXPECT_NE(testing_support::read_bytes(Exchange()).find("dURL=\"https://dl.example.jp/velmo/setup.exe\""),
              std::string::npos);
}

TEST_F(UpdateDataStoreTest, WritesAnEmptyAddressAsAPairOfQuotesAndFlagsAsZero) {
    ASSERT_TRUE(store.WriteCommand(L"", L""));
    ASSERT_TRUE(store.WriteCacerts(0));
    ASSERT_TRUE(store.WriteAuxAppUpdate(AuxUpdate(L"1.0", L"", false)));
    EXPECT_NE(testing_support::read_bytes(Exchange()).find("dURL=\"\""), std::string::npos);
    EXPECT_EQ(Value(L"Command", L"dURL"), L"");
    EXPECT_EQ(Value(L"Command", L"cacerts"), L"0");
    EXPECT_EQ(Value(L"Pelmarch", L"is_new"), L"0");
    EXPECT_EQ(Value(L"Pelmarch", L"current_ver"), L"");
}

TEST_F(UpdateDataStoreTest, WritesIntegersInPlainDecimal) {
    ASSERT_TRUE(store.WriteSleep(INT_MIN, INT_MAX));
    EXPECT_EQ(Value(L"Sleep", L"Probability"), L"-2147483648");
    EXPECT_EQ(Value(L"Sleep", L"Hour"), L"2147483647");
    ASSERT_TRUE(store.WriteProductVersion(ProductVersion{4294967295u, 0, 7, L""}));
    EXPECT_EQ(Value(L"Velmo", L"major"), L"-1");
    EXPECT_EQ(Value(L"Velmo", L"minor"), L"0");
}

TEST_F(UpdateDataStoreTest, ReadsTheAuxiliaryOrderBackCountingOnlyTheExactOne) {
    ASSERT_TRUE(store.WriteAuxAppUpdate(AuxUpdate(L"2.0.10", L"2.0.1", true)));
    const AuxAppVersionInfo read = store.ReadAuxAppUpdate();
    EXPECT_EQ(read.required.text(), L"2.0.10");
    EXPECT_EQ(read.installed.text(), L"2.0.1");
    EXPECT_TRUE(read.needs_update);

    for (const wchar_t* notSet : {L"01", L"true", L"0", L"", L"1x", L"2"}) {
        WritePrivateProfileStringW(L"Pelmarch", L"is_new", notSet, Exchange().c_str());
        EXPECT_FALSE(store.ReadAuxAppUpdate().needs_update) << testing::PrintToString(std::wstring(notSet));
    }
}

TEST_F(UpdateDataStoreTest, DeletesTheWholeAuxiliarySection) {
    ASSERT_TRUE(store.WriteAuxAppUpdate(AuxUpdate(L"3", L"2", true)));
    ASSERT_TRUE(store.WriteCacerts(1));
    ASSERT_TRUE(store.DeleteAuxAppUpdate());
    EXPECT_EQ(RawProfileKeys(Exchange(), L"Pelmarch"), L"");
    EXPECT_EQ(Value(L"Command", L"cacerts"), L"1");

    const AuxAppVersionInfo read = store.ReadAuxAppUpdate();
    EXPECT_EQ(read.required.text(), L"");
    EXPECT_EQ(read.required.parts(), std::vector<int>{0});
    EXPECT_EQ(read.installed.parts(), std::vector<int>{0});
    EXPECT_FALSE(read.needs_update);
}

TEST_F(UpdateDataStoreTest, ClearCommandsBlanksTheOrdersAndKeepsTheRest) {
    WriteEveryOrder();

    EXPECT_TRUE(store.ClearCommands());

    // The keys stay, with nothing after the equals sign.
    EXPECT_EQ(RawProfileKeys(Exchange(), L"Command"), L"uninst dURL uninst_all cacerts");
    EXPECT_EQ(RawProfileKeys(Exchange(), L"Message"), L"common");
    ExpectValues({
        {L"Command", L"uninst", L""},
        {L"Command", L"dURL", L""},
        {L"Command", L"uninst_all", L""},
        {L"Command", L"cacerts", L""},
        {L"Message", L"common", L""},
        {L"Day", L"Year", L"2026"},
        {L"Sleep", L"Hour", L"-3"},
        {L"Velmo", L"ver", L"6.2.1"},
        {L"Velmo", L"major", L"6"},
        {L"Pelmarch", L"is_new", L"1"},
    });
}

TEST_F(UpdateDataStoreTest, WritersFailWithoutTheDataFolder) {
    RemoveTree(base / L"ZRV\\VelmoUpgradeTool\\data");
    EXPECT_FALSE(store.WriteNextCheckDate(1, 2, 2026));
    EXPECT_FALSE(store.WriteSleep(1, 2));
    EXPECT_FALSE(store.WriteProductVersion(ProductVersion{}));
    EXPECT_FALSE(store.WriteCommand(L"", L""));
    EXPECT_FALSE(store.WriteMessage(L"x"));
    EXPECT_FALSE(store.WriteAuxAppUpdate(AuxAppVersionInfo()));
    // Withdrawing orders that cannot be written is not a failure.
    EXPECT_TRUE(store.ClearCommands());
}

TEST_F(UpdateDataStoreTest, ReadsTheSettingsFile) {
    WriteFileBytes(Settings(),
                   "[APP]\r\nMainCommand=C:\\Velmo\\main.exe\r\nSubCommand=C:\\Tool\\sub.exe /x\r\n"
                   "vbs_file=C:\\Deploy\\velmo.vbs\r\n"
                   "[SERVER]\r\ndatabase=https://s.example.jp/db.dat\r\ncerts=https://s.example.jp/cacerts.cab\r\n"
                   "UpdateList=https://s.example.jp/UpdateList.ini\r\nObWhiteList=https://s.example.jp/wl.txt\r\n"
                   "Pelmarch=https://s.example.jp/p/setup.exe\r\nPelmarchMsi=https://s.example.jp/p/Pelmarch.msi\r\n");
    EXPECT_EQ(store.GetDatabaseUrl(), L"https://s.example.jp/db.dat");
    EXPECT_EQ(store.GetCertsUrl(), L"https://s.example.jp/cacerts.cab");
    EXPECT_EQ(store.GetSubCommand(), L"C:\\Tool\\sub.exe /x");
    EXPECT_EQ(store.GetUpdateListUrl(), L"https://s.example.jp/UpdateList.ini");
    EXPECT_EQ(store.GetWhiteListUrl(), L"https://s.example.jp/wl.txt");
    EXPECT_EQ(store.GetAuxAppSetupUrl(), L"https://s.example.jp/p/setup.exe");
    EXPECT_EQ(store.GetAuxAppMsiUrl(), L"https://s.example.jp/p/Pelmarch.msi");
    EXPECT_EQ(store.GetVbsFile(), L"C:\\Deploy\\velmo.vbs");
}

// What the secondary program reads back of what the main flow wrote.
TEST_F(UpdateDataStoreTest, ReadsTheOrdersBackForTheSecondaryProgram) {
    WriteEveryOrder();
    const ExchangeOrders orders = store.ReadCommands();
    EXPECT_EQ(orders.installed.major, 6u);
    EXPECT_EQ(orders.installed.minor, 2u);
    EXPECT_EQ(orders.installed.sub_minor, 1u);
    EXPECT_EQ(orders.installed.ver, L"6.2.1");
    EXPECT_EQ(orders.uninst, L"MsiExec.exe /x {1234}");
    EXPECT_EQ(orders.dURL, L"https://dl.example.jp/velmo/setup.exe");
    EXPECT_EQ(orders.common, L"新しいバージョンがあります(NL)更新してください");
    EXPECT_TRUE(orders.cacerts);
    EXPECT_EQ(store.ReadUninstallAll(), L";MsiExec.exe /x {1} ;MsiExec.exe /x {2}");

    ASSERT_TRUE(store.ClearCommands());
    const ExchangeOrders cleared = store.ReadCommands();
    EXPECT_EQ(cleared.dURL, L"");
    EXPECT_FALSE(cleared.cacerts);
    EXPECT_EQ(cleared.installed.ver, L"6.2.1");
    EXPECT_EQ(store.ReadUninstallAll(), L"");
}

// A value is read whole or as absent, never cut to another address: with
// or without quotes, up to what the reader's buffer holds with its NUL.
TEST_F(UpdateDataStoreTest, ValuesAreReadWholeOrNotAtAll) {
    const struct {
        const char* name;
        bool exchange;
        std::string line;  // "[section]\r\nkey="
        std::size_t longest;
        std::function<std::wstring(CUpdateDataStore&)> read;
    } readers[] = {
        {"settings database", false, "[SERVER]\r\ndatabase=", 259,
         [](CUpdateDataStore& s) { return s.GetDatabaseUrl().str(); }},
        {"settings SubCommand", false, "[APP]\r\nSubCommand=", 259,
         [](CUpdateDataStore& s) { return s.GetSubCommand().str(); }},
        {"settings UpdateList", false, "[SERVER]\r\nUpdateList=", 260,
         [](CUpdateDataStore& s) { return s.GetUpdateListUrl().str(); }},
        {"exchange new_ver", true, "[Pelmarch]\r\nnew_ver=", 259,
         [](CUpdateDataStore& s) { return s.ReadAuxAppUpdate().required.text(); }},
        {"exchange dURL", true, "[Command]\r\ndURL=", 259, [](CUpdateDataStore& s) { return s.ReadCommands().dURL; }},
        {"exchange uninst_all", true, "[Command]\r\nuninst_all=", 2599,
         [](CUpdateDataStore& s) { return s.ReadUninstallAll(); }},
        {"settings vbs_file", false, "[APP]\r\nvbs_file=", 259,
         [](CUpdateDataStore& s) { return s.GetVbsFile().str(); }},
        {"settings Pelmarch", false, "[SERVER]\r\nPelmarch=", 260,
         [](CUpdateDataStore& s) { return s.GetAuxAppSetupUrl().str(); }},
    };
    for (const auto& r : readers) {
        for (const ProfileLimitCase& c : ProfileLimitCases(r.longest)) {
            SCOPED_TRACE(std::string(r.name) + " of " + c.Describe());
            WriteFileBytes(r.exchange ? Exchange() : Settings(), r.line + c.Text('u') + "\r\n");
            EXPECT_EQ(r.read(store), c.length <= r.longest ? std::wstring(c.length, L'u') : std::wstring());
        }
    }
}

TEST_F(UpdateDataStoreTest, MissingSettingsReadAsEmpty) {
    EXPECT_EQ(store.GetDatabaseUrl(), L"");
    EXPECT_EQ(store.GetWhiteListUrl(), L"");
}

TEST(UpdateDataStoreBaseFolder, KeepsTheLastFolderWhenTheLookupFails) {
    TempFolder base;
    MakeFolder(base / L"ZRV\\VelmoUpgradeTool\\data");
    bool available = true;
    CUpdateDataStore store([&] { return available ? base.path() : std::wstring(); });
    EXPECT_EQ(store.BaseFolder(), base.path());

    available = false;
    SetLastError(0);
    EXPECT_FALSE(store.GetBaseFolder());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(store.BaseFolder(), base.path());
}

TEST(UpdateDataStoreBaseFolder, WithoutAFolderNothingIsWrittenOrRead) {
    CUpdateDataStore store([] { return std::wstring(); });
    EXPECT_EQ(store.BaseFolder(), L"");
    EXPECT_FALSE(store.WriteCacerts(1));
    EXPECT_EQ(store.GetDatabaseUrl(), L"");
    EXPECT_EQ(store.GetUpdateListUrl(), L"");
    EXPECT_FALSE(store.ReadAuxAppUpdate().needs_update);
}

TEST(ProgramDataFolder, IsTheCommonApplicationDataFolder) {
    const std::wstring folder = GetProgramDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    wchar_t expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsW(L"%ProgramData%", expanded, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(folder.c_str(), -1, expanded, -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(MakeProgramDataPath(L"a\\b", L"c.ini"), folder + L"\\a\\b\\c.ini");
}

// The secondary program's [SERVER] reader works on a fixed location: a
// folder of this process's own below the real common application-data folder.
TEST(ProgramDataFolder, GetServerValueReadsTheSettingsBelowIt) {
    const std::wstring part1 = L"vut-state-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring folder = GetProgramDataFolder() + L"\\" + part1;
    WriteFileBytes(folder + L"\\settings.ini", "[SERVER]\r\nPelmarch=https://s.example.jp/p.exe\r\n"
                                              "PelmarchMsi=\"" + std::string(260, 'm') + "\"\r\n"
                                              "Setup=" + std::string(261, 's') + "\r\n");
    EXPECT_EQ(GetServerValue(part1, L"settings.ini", L"Pelmarch"), L"https://s.example.jp/p.exe");
    EXPECT_EQ(GetServerValue(part1, L"settings.ini", L"PelmarchMsi"), std::wstring(260, L'm'));
    EXPECT_EQ(GetServerValue(part1, L"settings.ini", L"Setup"), L"") << "too long to read whole";
    EXPECT_EQ(GetServerValue(part1, L"settings.ini", L"Missing"), L"");
    EXPECT_EQ(GetServerValue(part1, L"none.ini", L"Pelmarch"), L"");
    RemoveTree(folder);
}

}  // namespace
