// The main program end to end, in every run mode: the real program under
// Wine against the local nginx serving each scenario's update site (made by
// the independent site producer), with the scenario's settings, exchange and
// client files laid out on the prefix's drive C: and a stub in place of the
// secondary program that records what it is handed; and once the whole
// chain, with the real secondary program removing the old client, a real
// Windows Installer product built with wixl, and installing the fake client
// setup that the site serves.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EndToEndOrders.h"
#include "EndToEndState.h"
#include "MainProgramRun.h"
#include "OldClientPackage.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "profile/IniProfile.h"
#include "res/resource.h"
#include "support/ScopedEnvironment.h"
#include "support/StateFixtures.h"
#include "support/WindowDriver.h"
#include "win/handle.h"

using namespace testing_support;

namespace {

constexpr wchar_t kUpToDate[] = L"お使いの「Velmoご利用ソフト」は最新です。\n";
constexpr wchar_t kNewClient[] =
    L"新しい「Velmoご利用ソフト」6.2.0があります。\n[インストール]を押して更新してください。\n";
constexpr wchar_t kAuxQuestion[] =
    L"電子入札補助アプリの新しいバージョンをダウンロードします。\n\n現在のバージョン：2.0.1\n新しいバージョン：2.1.0";
constexpr wchar_t kAuxDeclined[] = L"補助アプリの新しいバージョンのインストールがキャンセルされました。";
constexpr wchar_t kInstallCancelled[] = L"「Velmoご利用ソフト」のインストールを中止しました。";
constexpr wchar_t kRootQuestion[] = L"Velmoご利用ソフトの更新を行います。\n\n更新内容：\n　・ルート証明書の更新";
// A connection refused, as WinINet numbers it.
constexpr int kCannotConnect = 12029;

const std::wstring kProgramData = GetProgramDataFolder();
const std::wstring kSettingsFile = kProgramData + TOOL_INI_SUBPATH.c_str();
const std::wstring kExchangeFile = kProgramData + DATA_INI_SUBPATH.c_str();
const std::wstring kDataFolder = kProgramData + DATA_SUBDIR.c_str();
const std::wstring kToolFolder = kProgramData + L"\\" + TOOL_DIR;

std::wstring DownloadErrorMessage(const wchar_t* number, int detail) {
    return std::wstring(ERROR_PREFIX) + L"更新情報を取得できませんでした(エラー：" + number + L" , 詳細コード：" +
           std::to_wstring(detail) + L")。" + SUPPORT_FOOTER;
}

// --- dialogs -----------------------------------------------------------------

struct Step {
    Dialog dialog;
    std::wstring message;
    int button;
};

// Answers the dialogs in order, each once it shows the expected message;
// a screenshot of each goes to the artifacts. `whileFirstShows` runs while
// the first dialog waits for its answer.
void AnswerDialogs(const ProgramRun& run, const std::vector<Step>& steps, const std::string& name,
                   const std::function<void()>& whileFirstShows = nullptr) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("dialog " + std::to_string(i + 1));
        const HWND dialog = WaitForProgramDialog(run, step.dialog);
        ASSERT_NE(dialog, nullptr) << "the dialog did not come";
        SaveScreenshot(dialog, L"end_to_end_" + std::wstring(name.begin(), name.end()) + L"_" + std::to_wstring(i + 1));
        EXPECT_EQ(DialogMessage(dialog, step.dialog), step.message);
        if (i == 0 && whileFirstShows) whileFirstShows();
        Click(dialog, step.button);
        EXPECT_TRUE(WaitUntilGone(dialog));
    }
}

// --- the runs ----------------------------------------------------------------

// What the secondary program is handed: its arguments and the root and
// auxiliary orders as the user's answers left them.
struct Handover {
    const wchar_t* arguments;
    const wchar_t* rootOrder;
    const wchar_t* auxOrder;
};

struct RunCase {
    const char* name;
    const char* scenario;
    const wchar_t* arguments;
    std::vector<Step> dialogs;
    DWORD exitCode;
    std::optional<Handover> stub;  // none: the secondary program must not start
    bool ordersWritten;            // checked while the first dialog shows, and cleared after the run
    const wchar_t* auxOrderAfter;  // [Pelmarch] is_new after the run
};

const std::wstring kServerDown = DownloadErrorMessage(L"K500", kCannotConnect);

// The files each command line fetches into the data folder.
const wchar_t* const kServedFiles[] = {L"VelmoUpgradeToolDatabase.dat", L"cacerts.cab", L"UpdateList.ini",
                                       L"ObWhiteList.txt"};
const struct {
    const wchar_t* arguments;
    std::vector<std::wstring> fetched;
} kFetchedFiles[] = {
    {L"", {std::begin(kServedFiles), std::end(kServedFiles)}},
    {L"/called_service", {std::begin(kServedFiles), std::end(kServedFiles)}},
    {L"/download_pelmarch", {L"UpdateList.ini", L"ObWhiteList.txt"}},
    {L"/download_ob_white_list", {L"ObWhiteList.txt"}},
    {L"/download_update_list_for_inin_info", {L"UpdateList.ini"}},
};

// What the run left in the data folder: the files of its mode as served, no
// other, and never the deciphered database. A failed download leaves nothing.
void ExpectFetchedFiles(const Scenario& scenario, const std::wstring& arguments, bool downloaded) {
    std::vector<std::wstring> fetched;
    for (const auto& files : kFetchedFiles)
        if (downloaded && arguments == files.arguments) fetched = files.fetched;
    for (const wchar_t* name : kServedFiles) {
        const std::wstring path = kDataFolder + L"\\" + name;
        if (std::find(fetched.begin(), fetched.end(), name) != fetched.end())
            EXPECT_EQ(read_bytes(path), scenario.SiteFile(name)) << testing::PrintToString(std::wstring(name));
        else
            EXPECT_FALSE(exists(path)) << testing::PrintToString(std::wstring(name));
    }
    EXPECT_FALSE(exists(kDataFolder + L"\\VelmoUpgradeToolDatabase.txt"));
}

const RunCase kRuns[] = {
    // The ordinary update check.
    {"uptodate", "uptodate", L"", {{Dialog::Closing, kUpToDate, IDCANCEL}}, 0, {}, true, ABSENT},
    {"install", "client-update", L"", {{Dialog::Main, kNewClient, IDOK}}, 0,
     Handover{L"/called_service", L"0", ABSENT}, true, ABSENT},
    {"install_cancelled", "client-update", L"",
     {{Dialog::Main, kNewClient, IDCANCEL}, {Dialog::Closing, kInstallCancelled, IDCANCEL}}, 0, {}, true, ABSENT},
    {"aux_accepted", "aux-update", L"", {{Dialog::Question, kAuxQuestion, IDOK}}, 0,
     Handover{L"/called_service", L"0", L"1"}, true, L"1"},
    {"aux_declined", "aux-update", L"",
     {{Dialog::Question, kAuxQuestion, IDCANCEL}, {Dialog::Closing, kUpToDate + std::wstring(kAuxDeclined), IDCANCEL}},
     0, {}, true, ABSENT},
    {"root_accepted", "root-update", L"",
     {{Dialog::Question, kRootQuestion, IDOK}, {Dialog::Closing, kUpToDate, IDCANCEL}}, 0,
     Handover{L"/called_service", L"1", ABSENT}, true, ABSENT},
    {"root_declined", "root-update", L"",
     {{Dialog::Question, kRootQuestion, IDCANCEL}, {Dialog::Closing, kUpToDate, IDCANCEL}}, 0, {}, true, ABSENT},
    // A declined order leaves the exchange file before the other one is
    // carried out.
    {"root_declined_aux_accepted", "root-aux-update", L"",
     {{Dialog::Question, kRootQuestion, IDCANCEL}, {Dialog::Question, kAuxQuestion, IDOK}}, 0,
     Handover{L"/called_service", L"", L"1"}, true, L"1"},
    {"root_accepted_aux_declined", "root-aux-update", L"",
     {{Dialog::Question, kRootQuestion, IDOK},
      {Dialog::Question, kAuxQuestion, IDCANCEL},
      {Dialog::Closing, kUpToDate + std::wstring(kAuxDeclined), IDCANCEL}},
     0, Handover{L"/called_service", L"1", ABSENT}, true, ABSENT},
    {"server_down", "server-down", L"", {{Dialog::Closing, kServerDown, IDCANCEL}}, 0, {}, false, ABSENT},
    // Started by another program with nothing to show.
    {"silent", "uptodate", L"/called_service", {}, 1, {}, true, ABSENT},
    // The auxiliary application's download: no question.
    {"pelmarch", "uptodate", L"/download_pelmarch", {}, 0, {}, false, ABSENT},
    {"pelmarch_aux", "aux-update", L"/download_pelmarch", {}, 0,
     Handover{L"/called_service /download_pelmarch", L"", L"1"}, false, L"1"},
    {"pelmarch_server_down", "server-down", L"/download_pelmarch", {{Dialog::NoticeBox, kServerDown, IDOK}}, 0, {},
     false, ABSENT},
    // The allowed-URL list alone: the outcome is the exit code; [Pelmarch] is
    // not touched.
    {"white_list", "uptodate", L"/download_ob_white_list", {}, 0, {}, false, L"0"},
    {"white_list_server_down", "server-down", L"/download_ob_white_list", {}, kCannotConnect, {}, false, L"0"},
    // The update list alone: no auxiliary decision, no dialog.
    {"update_list", "aux-update", L"/download_update_list_for_inin_info", {}, 0, {}, false, ABSENT},
    {"update_list_server_down", "server-down", L"/download_update_list_for_inin_info", {}, 0, {}, false, ABSENT},
};

TEST(EndToEnd, EveryRunModeAgainstTheLocalServer) {
    for (const RunCase& c : kRuns) {
        SCOPED_TRACE(c.name);
        Scenario scenario(c.scenario);
        const Orders orders = ExpectedOrders(scenario);
        StubRecord stub;
        const ProgramRun run = StartMainProgram(c.arguments);
        ASSERT_TRUE(run.process) << GetLastError();
        AnswerDialogs(run, c.dialogs, c.name, [&] {
            if (c.ordersWritten) ExpectOrders(kExchangeFile, orders);
        });
        EXPECT_EQ(ExitCode(run), c.exitCode);

        ASSERT_EQ(stub.Started(), c.stub.has_value());
        if (c.stub) {
            EXPECT_EQ(stub.Arguments(), c.stub->arguments);
            EXPECT_EQ(RawProfileValue(stub.Exchange(), L"Command", L"cacerts"), c.stub->rootOrder);
            EXPECT_EQ(RawProfileValue(stub.Exchange(), L"Pelmarch", L"is_new"), c.stub->auxOrder);
            if (c.ordersWritten) ExpectOrders(stub.Exchange(), {orders.version, orders.uninstall, orders.dUrlLine,
                                                                c.stub->rootOrder, c.stub->auxOrder});
        }
        if (c.ordersWritten) {
            ExpectOrdersCleared(kExchangeFile);
            // Written and never withdrawn.
            EXPECT_EQ(RawProfileValue(kExchangeFile, L"Velmo", L"ver"), orders.version);
        }
        EXPECT_EQ(RawProfileValue(kExchangeFile, L"Pelmarch", L"is_new"), c.auxOrderAfter);
        ExpectFetchedFiles(scenario, c.arguments, scenario.Setting(L"name") != L"server-down");
    }
}

// The served allowed-URL list becomes the installed one and is merged into
// the auxiliary application's list after the user's own entry; the record
// names what the tool added.
TEST(EndToEnd, TheAllowedUrlListIsInstalledAndMerged) {
    Scenario scenario("uptodate");
    const ProgramRun run = StartMainProgram(L"/download_ob_white_list");
    ASSERT_TRUE(run.process);
    ASSERT_EQ(ExitCode(run), 0u);
    EXPECT_EQ(read_bytes(kDataFolder + L"\\whitelist\\ObWhiteList.txt"), scenario.SiteFile(L"ObWhiteList.txt"));

    auto lines = [](const std::wstring& path) {
        std::string text = read_bytes(path);
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        std::vector<std::string> found;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            found.push_back(line);
        }
        return found;
    };
    const std::vector<std::string> policy = {"https://www.e-bid.example.lg.jp/", "https://ebid.example.pref.jp/portal/"};
    std::vector<std::string> merged = {"https://user-added.example.jp/"};
    merged.insert(merged.end(), policy.begin(), policy.end());
    EXPECT_EQ(lines(kProgramData + L"\\obla\\Pelmarch\\prop\\ObWhiteList.txt"), merged);
    EXPECT_EQ(lines(kProgramData + L"\\ZRV\\Velmo\\whitelist\\added_ObWhiteList.txt"), policy);
}

// A failed download is named by the position of its file in the mode's list,
// with the server's status as the detail code.
TEST(EndToEnd, DownloadFailuresByPosition) {
    const struct {
        const wchar_t* arguments;
        const wchar_t* missing;  // the settings key whose address the server does not know
        Dialog dialog;
        const wchar_t* number;  // nullptr: no dialog, the status is the exit code
    } cases[] = {
        {L"", L"database", Dialog::Closing, L"K500"},
        {L"", L"certs", Dialog::Closing, L"K503"},
        {L"", L"UpdateList", Dialog::Closing, L"K504"},
        {L"", L"ObWhiteList", Dialog::Closing, L"K505"},
        {L"/download_pelmarch", L"UpdateList", Dialog::NoticeBox, L"K500"},
        {L"/download_pelmarch", L"ObWhiteList", Dialog::NoticeBox, L"K503"},
        {L"/download_ob_white_list", L"ObWhiteList", Dialog::Closing, nullptr},
    };
    constexpr int kNotFound = 404;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments) + L" " + c.missing));
        Scenario scenario("uptodate");
        const std::wstring url = RawProfileValue(kSettingsFile, L"SERVER", c.missing);
        ASSERT_TRUE(WritePrivateProfileStringW(L"SERVER", c.missing, (url + L".missing").c_str(), kSettingsFile.c_str()));
        const ProgramRun run = StartMainProgram(c.arguments);
        ASSERT_TRUE(run.process);
        if (c.number) {
            const int button = c.dialog == Dialog::NoticeBox ? IDOK : IDCANCEL;
            AnswerDialogs(run, {{c.dialog, DownloadErrorMessage(c.number, kNotFound), button}},
                          "missing_" + std::string(c.missing, c.missing + wcslen(c.missing)));
            EXPECT_EQ(ExitCode(run), 0u);
        } else {
            EXPECT_EQ(ExitCode(run), static_cast<DWORD>(kNotFound));
        }
    }
}

// One update check at a time: a second start is refused while the first
// shows its dialog, silently when another program started it; the allowed-URL
// run keeps no block and runs beside it.
TEST(EndToEnd, ASecondInstanceIsRefused) {
    Scenario scenario("uptodate");
    const ProgramRun first = StartMainProgram(L"");
    ASSERT_TRUE(first.process);
    const HWND closing = WaitForProgramDialog(first, Dialog::Closing);
    ASSERT_NE(closing, nullptr);

    const ProgramRun second = StartMainProgram(L"");
    ASSERT_TRUE(second.process);
    AnswerDialogs(second, {{Dialog::SmallClosing, ALREADY_RUNNING_TEXT, IDCANCEL}}, "second_instance");
    EXPECT_EQ(ExitCode(second), 1u);

    const ProgramRun silent = StartMainProgram(L"/called_service");
    ASSERT_TRUE(silent.process);
    EXPECT_EQ(ExitCode(silent, 10000), 1u) << "ended without a dialog";

    const ProgramRun whiteList = StartMainProgram(L"/download_ob_white_list");
    ASSERT_TRUE(whiteList.process);
    EXPECT_EQ(ExitCode(whiteList), 0u);

    Click(closing, IDCANCEL);
    EXPECT_EQ(ExitCode(first), 0u);
}

// The allowed-URL run takes no block and runs beside an update check that
// waits for its user: the orders that check wrote stay byte for byte, so the
// secondary program still finds the client update the user then accepts, and
// an auxiliary order the user declined does not come back.
TEST(EndToEnd, AnAllowedUrlRunLeavesTheOrdersOfAWaitingCheck) {
    const struct {
        const char* name;
        const char* scenario;
        std::vector<Step> before;  // answered before the allowed-URL run
        Step during;               // shown while it runs
        bool subStarts;
        const wchar_t* auxOrderAfter;
    } cases[] = {
        {"beside_install", "client-update", {}, {Dialog::Main, kNewClient, IDOK}, true, ABSENT},
        {"beside_aux_declined", "aux-update", {{Dialog::Question, kAuxQuestion, IDCANCEL}},
         {Dialog::Closing, kUpToDate + std::wstring(kAuxDeclined), IDCANCEL}, false, ABSENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario scenario(c.scenario);
        StubRecord stub;
        const ProgramRun run = StartMainProgram(L"");
        ASSERT_TRUE(run.process) << GetLastError();
        AnswerDialogs(run, c.before, std::string(c.name) + "_before");
        AnswerDialogs(run, {c.during}, c.name, [&] {
            const std::string orders = read_bytes(kExchangeFile);
            const ProgramRun whiteList = StartMainProgram(L"/download_ob_white_list");
            ASSERT_TRUE(whiteList.process);
            EXPECT_EQ(ExitCode(whiteList), 0u);
            EXPECT_EQ(read_bytes(kExchangeFile), orders);
        });
        EXPECT_EQ(ExitCode(run), 0u);
        ASSERT_EQ(stub.Started(), c.subStarts);
        if (c.subStarts) ExpectOrders(stub.Exchange(), ExpectedOrders(scenario));
        EXPECT_EQ(RawProfileValue(kExchangeFile, L"Pelmarch", L"is_new"), c.auxOrderAfter);
    }
}

std::wstring ClientIniPath() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\ZRVCAVelmo.ini";
}

// The lines of a record of the fake client setup (UTF-16, one run a line).
std::vector<std::wstring> InstallerRuns(const std::wstring& path) {
    const std::string bytes = read_bytes(path);
    std::wstringstream text(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)));
    std::vector<std::wstring> lines;
    for (std::wstring line; std::getline(text, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZRV Velmo";

// The whole chain: the user's インストール starts the real secondary
// program, which downloads the signed setup, removes the old client through
// the orders' uninstall commands (MsiExec with the product code of the
// installed 6.1.5, which names the real MSI product installed here, and
// again with each code of all versions) and its uninstall entry (the setup
// itself, with "/uninst"), runs the setup with its "/v" argument and
// reports; then the main program clears the orders.
void RunWholeChain() {
    Scenario scenario("client-update");
    ASSERT_FALSE(scenario.Setting(L"uninstall_key").empty()) << "the site has no client setup";
    ASSERT_FALSE(scenario.Setting(L"old_client_msi").empty()) << "the site has no old client's package";
    const OldClientPackage oldClient(scenario.Setting(L"old_client_msi"), scenario.Setting(L"old_client_product"));
    ASSERT_TRUE(oldClient.Registered() && exists(oldClient.File())) << "the old client is not installed";
    const std::wstring subProgram = testing_support::BuildTreePath(VUT_SUB_PROGRAM);
    const std::wstring subCommand = subProgram + L" /called_service";
    ASSERT_TRUE(WritePrivateProfileStringW(L"APP", L"SubCommand", subCommand.c_str(), kSettingsFile.c_str()));
    // The deployment's script runs only from beside the programs.
    const std::wstring script = subProgram.substr(0, subProgram.find_last_of(L'\\')) + L"\\VelmoCleanup.vbs";
    WriteFileBytes(script, "' Stands in for the installation's clean-up script.\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"APP", L"vbs_file", script.c_str(), kSettingsFile.c_str()));
    StubRecord stub;
    // The user's TEMP, which the secondary program inherits: a folder that
    // every user may write, as SYSTEM's C:\Windows\Temp is to a program that
    // a service starts (which only Windows shows).
    const TempFolder everyone;
    const ScopedEnvironmentVariable temp(L"TEMP", everyone.path()), tmp(L"TMP", everyone.path());

    const ProgramRun run = StartMainProgram(L"");
    ASSERT_TRUE(run.process) << GetLastError();
    AnswerDialogs(run, {{Dialog::Main, kNewClient, IDOK}}, "whole_chain");
    const HWND closing = WaitForStartedProgramDialog(run, Dialog::Closing, 40000);
    ASSERT_NE(closing, nullptr) << "the secondary program showed no closing dialog";
    SaveScreenshot(closing, L"end_to_end_whole_chain_sub_closing");
    EXPECT_EQ(DialogMessage(closing, Dialog::Closing), L"「Velmoご利用ソフト」がインストールされました。");
    EXPECT_EQ(ControlText(closing, IDC_VERSION_LABEL), L"Velmoご利用ソフト： 6.2.0");
    Click(closing, IDCANCEL);
    EXPECT_TRUE(WaitUntilGone(closing));
    EXPECT_EQ(ExitCode(run), 0u);
    EXPECT_FALSE(stub.Started());

    // Fetched into, and run from, the folder that only the Administrators
    // may write.
    const std::wstring setup = kToolFolder + L"\\setupstaging\\Velmo.exe";
    EXPECT_EQ(read_bytes(setup), scenario.SiteFile(L"setup\\VelmoSetup_6.2.0.exe"));
    const std::vector<std::wstring> runs = {
        L"\"" + scenario.Setting(L"uninstaller") + L"\" /uninst",
        L"\"" + setup + L"\" /v\"VELMO_VERSION_UP=1 DO_NOT_LAUNCH_VELMO_INIT=1\"",
    };
    EXPECT_EQ(RawProfileValue(ClientIniPath(), L"ZRVCAVelmo", L"ZRVVelmoVersion"), L"6.2.0");
    const std::wstring client = RawProfileValue(ClientIniPath(), L"ZRVCAVelmo", L"Directory");
    EXPECT_EQ(InstallerRuns(client + L"installer_runs.txt"), runs);
    // Each installer got a TEMP of its own, admin-only, emptied after the
    // run; the folder stays, so that no user can take its name meanwhile.
    const std::wstring programTemp = kToolFolder + L"\\temp";
    const std::wstring temps = L"TEMP=" + programTemp + L" TMP=" + programTemp;
    EXPECT_EQ(InstallerRuns(client + L"installer_temp.txt"), std::vector<std::wstring>(runs.size(), temps));
    EXPECT_TRUE(exists(programTemp));
    EXPECT_EQ(FolderFiles(programTemp), (std::map<std::wstring, std::string>()));
    // MsiExec removed the old client's product: its files and its entry.
    EXPECT_FALSE(exists(oldClient.File()));
    EXPECT_FALSE(oldClient.Registered());
    EXPECT_EQ(RawProfileValue(kToolFolder + L"\\ZRVCAVelmo.ini", L"OPTION", L"Velmo_instState"), L"0");
    ExpectOrdersCleared(kExchangeFile);
}

TEST(EndToEnd, TheWholeChainInstallsTheNewClientAndPutsTheMachineBack) {
    // What the chain changes outside the scenario's folders: the client's
    // INI file and its uninstall entry, as the prefix had them before.
    const auto machineState = [] {
        const std::wstring ini = ClientIniPath();
        const bool entry = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE,
                                         win::RegKey().put()) == ERROR_SUCCESS;
        return (exists(ini) ? read_bytes(ini) : "<no INI file>") + (entry ? "<entry>" : "<no entry>");
    };
    const std::string before = machineState();
    RunWholeChain();
    EXPECT_EQ(machineState(), before) << "the scenario was not put back";
}

}  // namespace
