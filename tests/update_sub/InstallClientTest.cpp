// The install from the first uninstall step to VelmoInit.exe, through a
// recording runner whose "programs" act as the real ones would: the
// uninstaller removes the client's INI file and schedules renames, the
// setup writes the new client's INI file. The uninstall keys are a test key;
// PendingFileRenameOperations is the prefix's own (pending_file_renames
// lock); the Windows folder is a private one (WINDIR).
#include <gtest/gtest.h>

#include <windows.h>

#include "InstallFakes.h"
#include "install/ClientInit.h"
#include "install/ClientSetup.h"
#include "support/StateFixtures.h"

namespace {

const std::wstring kGuid1 = L"{11111111-2A6F-4D08-9B5E-C41F0A7D3E62}";
const std::wstring kGuid2 = L"{22222222-2A6F-4D08-9B5E-C41F0A7D3E62}";
constexpr wchar_t kUpgrade[] = L"setup /v\"VELMO_VERSION_UP=1 DO_NOT_LAUNCH_VELMO_INIT=1\"";
constexpr wchar_t kFresh[] = L"setup /v\"DO_NOT_LAUNCH_VELMO_INIT=1\"";

enum class Uninstaller { RemovesClient, LeavesClient };

struct InstallCase {
    const char* name;
    ProductVersion installed;  // major 0: no client installed before
    std::wstring uninstall, uninstallAll;
    int stateBefore;  // Velmo_instState left by an earlier run; -1: none
    bool renamesBefore;  // PendingFileRenameOperations present before (else absent)
    Uninstaller uninstaller;
    const char* newVersion;  // what the setup installs
    std::vector<std::wstring> started;
    SetupResult setup;
    std::vector<std::wstring> refused;
};

const ProductVersion kNone{};
const ProductVersion k619{6, 1, 9, L"6.1.9"};

const InstallCase kInstallCases[] = {
    {"6.1.9 to 6.2.0: VelmoInit starts", k619, L"/x " + kGuid1 + L" /passive",
     L" ;/x " + kGuid1 + L" /passive ;/x " + kGuid2, -1, true, Uninstaller::RemovesClient, "6.2.0",
     {L"msiexec /x " + kGuid1 + L" /passive", L"msiexec /x " + kGuid1 + L" /q", L"msiexec /x " + kGuid2 + L" /q",
      L"C:\\v\\velmo.exe /uninst", L"wscript", kUpgrade, L"VelmoInit"},
     SetupResult::Ran, {}},
    {"6.1.9 again: no VelmoInit", k619, L"/x " + kGuid1, L" ;/x " + kGuid1, -1, true, Uninstaller::RemovesClient, "6.1.9",
     {L"msiexec /x " + kGuid1, L"msiexec /x " + kGuid1 + L" /q", L"C:\\v\\velmo.exe /uninst", L"wscript",
      kUpgrade},
     SetupResult::Ran, {}},
    {"7.0.0: VelmoInit starts", k619, L"/x " + kGuid1, L"", -1, true, Uninstaller::RemovesClient, "7.0.0",
     {L"msiexec /x " + kGuid1, L"C:\\v\\velmo.exe /uninst", L"wscript", kUpgrade, L"VelmoInit"},
     SetupResult::Ran, {}},
    {"no client before", kNone, L"/x " + kGuid1, L" ;/x " + kGuid2, -1, false, Uninstaller::RemovesClient, "6.2.0",
     {L"msiexec /x " + kGuid2 + L" /q", L"C:\\v\\velmo.exe /uninst", L"wscript", kFresh, L"VelmoInit"},
     SetupResult::Ran, {}},
    {"an earlier install was interrupted", kNone, L"", L"", 1, false, Uninstaller::RemovesClient, "6.2.0",
     {L"C:\\v\\velmo.exe /uninst", L"wscript", kUpgrade, L"VelmoInit"}, SetupResult::Ran, {}},
    {"the old client stays: no setup (K702)", k619, L"/x " + kGuid1, L"", -1, true, Uninstaller::LeavesClient, "6.2.0",
     {L"msiexec /x " + kGuid1, L"C:\\v\\velmo.exe /uninst", L"wscript"}, SetupResult::OldClientRemains, {}},
    {"bad orders are refused, the rest goes on", k619, L"/x " + kGuid1 + L" & calc",
     L" ;/x " + kGuid2 + L" ;\"C:\\evil.exe\" ; ", -1, true, Uninstaller::RemovesClient, "6.2.0",
     {L"msiexec /x " + kGuid2 + L" /q", L"C:\\v\\velmo.exe /uninst", L"wscript", kUpgrade, L"VelmoInit"},
     SetupResult::Ran, {L"/x " + kGuid1 + L" & calc", L"\"C:\\evil.exe\""}},
};

class InstallClientTest : public testing::Test {
protected:
    void SetUp() override {
        m_renamesFound = PendingRenamesValue::Read();
        m_keys.SetText(L"ZRV Velmo", L"UninstallString", L"C:\\v\\velmo.exe");
        m_places.uninstallKeys = m_keys.Place();
        MakeFolder(m_base / L"ZRV\\VelmoUpgradeTool");
        WriteFileBytes(m_client / L"VelmoInit.exe", "MZ");
        WriteFileBytes(m_client / L".kvxwrap\\.properties", "a=1\r\n");
    }
    void TearDown() override { PendingRenamesValue::Write(m_renamesFound); }

    void WriteClientIni(const std::string& version) {
        WriteFileBytes(m_windows.ClientIni(), "[ZRVCAVelmo]\r\nZRVVelmoVersion=" + version + "\r\nDirectory=" +
                                                  Narrow(m_client.path()) + "\r\n");
    }
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    // A recorded line with the long paths of this run replaced by short names.
    std::wstring Shorten(const std::wstring& line) const {
        return Shortened(line, {{QuotedSystemProgram(L"msiexec.exe"), L"msiexec"},
                                {QuotedSystemProgram(L"wscript.exe") + L" \"" + m_script.path() + L"\"", L"wscript"},
                                {L"\"" + m_setup + L"\"", L"setup"},
                                {L"\"" + (m_client / L"VelmoInit.exe") + L"\" ", L"VelmoInit"}});
    }

    PendingRenamesValue m_renamesFound;
    PrivateWindowsFolder m_windows;
    TestRegistryKey m_keys;
    RegistryPlaces m_places;
    TempFolder m_base, m_client, m_download;
    const ScriptBesideTheProgram m_script;
    const std::wstring m_setup = m_download / L"Velmo.exe";
};

}  // namespace

TEST_F(InstallClientTest, UninstallSetupWithItsArgumentAndVelmoInitByVersion) {
    const PendingRenamesValue scheduledBefore =
        PendingRenamesValue::Of(MultiString({L"\\??\\C:\\vut-none\\a.tmp", L"\\??\\C:\\vut-none\\a.dll"}));
    const PendingRenamesValue scheduledByUninstaller =
        PendingRenamesValue::Of(MultiString({L"\\??\\C:\\vut-none\\client.dll", L""}));
    const PendingRenamesValue scheduledBySetup =
        PendingRenamesValue::Of(MultiString({L"\\??\\C:\\vut-none\\new.tmp", L"\\??\\C:\\vut-none\\new.dll"}));
    for (const InstallCase& c : kInstallCases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(m_windows.ClientIni().c_str());
        DeleteFileW((m_base / L"ZRV\\VelmoUpgradeTool\\ZRVCAVelmo.ini").c_str());
        if (c.installed.major != 0) WriteClientIni(Narrow(c.installed.ver));
        CInstallContext context({c.installed.ver, m_client.path(), L"", L""}, [&] { return m_base.path(); });
        if (c.stateBefore >= 0) context.SetInstallState(c.stateBefore);
        const PendingRenamesValue renames = c.renamesBefore ? scheduledBefore : PendingRenamesValue();
        PendingRenamesValue::Write(renames);

        RecordingRunner runner;
        PendingRenamesValue atSetup;
        runner.onRun = [&](const std::wstring& line) {
            const std::wstring program = Shorten(line);
            if (program.compare(0, 5, L"setup") == 0) {
                atSetup = PendingRenamesValue::Read();
                WriteClientIni(c.newVersion);
                PendingRenamesValue::Write(scheduledBySetup);
            } else if (program != L"wscript" && program.compare(0, 9, L"VelmoInit") != 0) {
                PendingRenamesValue::Write(scheduledByUninstaller);
                if (c.uninstaller == Uninstaller::RemovesClient) DeleteFileW(m_windows.ClientIni().c_str());
            }
        };
        const InstallOrders orders{c.installed, c.uninstall, c.uninstallAll, m_script.path()};
        const InstallReport report = InstallClient(runner, context, orders, m_windows.ClientIni(), m_setup, m_places);
        // What the application does after a setup that ran.
        if (report.setup == SetupResult::Ran) {
            EnvironmentInfo environment;
            environment.ReadInstalledVersion(m_windows.ClientIni());
            if (IsClientInitDue(environment.installed.ver)) LaunchClientInit(runner, environment, m_windows.ClientIni());
        }

        std::vector<std::wstring> started;
        for (const std::wstring& line : runner.started) started.push_back(Shorten(line));
        EXPECT_EQ(started, c.started);
        EXPECT_EQ(report.setup, c.setup);
        EXPECT_EQ(report.refused, c.refused);
        EXPECT_TRUE(report.scriptRan);
        // The uninstallers' renames are gone before the setup runs; the
        // setup's own stay.
        if (c.setup == SetupResult::Ran) {
            EXPECT_TRUE(atSetup == renames);
            EXPECT_TRUE(PendingRenamesValue::Read() == scheduledBySetup);
        } else {
            EXPECT_TRUE(PendingRenamesValue::Read() == renames);
        }
        const bool hadClient = c.installed.major != 0;
        EXPECT_TRUE(report.probe.iniCopied);
        EXPECT_TRUE(report.probe.propertiesSaved);
        EXPECT_TRUE(report.stateWritten);
        EXPECT_EQ(context.GetInstallState(), hadClient ? 1 : std::max(c.stateBefore, 0));
        const std::wstring optionFile = m_base / L"ZRV\\VelmoUpgradeTool\\ZRVCAVelmo.ini";
        EXPECT_EQ(RawProfileValue(optionFile, L"OPTION", L"ZAVAZuvaz"), hadClient ? L"0" : L"<absent>");
        EXPECT_EQ(RawProfileValue(optionFile, L"ZRVCAVelmo", L"ZRVVelmoVersion"),
                  hadClient ? c.installed.ver : L"<absent>");
    }
}

// A script in the data folder, which users write, is named with the refused
// orders and not run; the install goes on.
TEST_F(InstallClientTest, AScriptInTheDataFolderIsRefusedAndNamed) {
    const std::wstring script = m_base / L"ZRV\\VelmoUpgradeTool\\data\\deploy.vbs";
    WriteFileBytes(script, "WScript.Quit 0\r\n");
    CInstallContext context({L"", m_client.path(), L"", L""}, [&] { return m_base.path(); });
    RecordingRunner runner;
    const InstallOrders orders{kNone, L"", L" ;/x " + kGuid2 + L" ;& calc", script};
    const InstallReport report = InstallClient(runner, context, orders, m_windows.ClientIni(), m_setup, m_places);
    std::vector<std::wstring> started;
    for (const std::wstring& line : runner.started) started.push_back(Shorten(line));
    const std::vector<std::wstring> expected{L"msiexec /x " + kGuid2 + L" /q", L"C:\\v\\velmo.exe /uninst", kFresh};
    EXPECT_EQ(started, expected);
    EXPECT_FALSE(report.scriptRan);
    EXPECT_EQ(report.refused, (std::vector<std::wstring>{L"& calc", script}));
    EXPECT_EQ(report.setup, SetupResult::Ran);
}

TEST(IsClientInitDue, From62On) {
    const struct {
        const wchar_t* version;
        bool due;
    } cases[] = {
        {L"6.1.9", false}, {L"6.2.0", true}, {L"7.0.0", true},  {L"6.10.1", true}, {L"6.2", true},
        {L"5.9.9", false}, {L"6", false},    {L"", false},      {L"10.0.0", true}, {L"06.02.00", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsClientInitDue(c.version), c.due) << testing::PrintToString(c.version);
}

