// The secondary program's run through its actions: rows of orders, download
// and signer results and what the setup installs, against the closing
// message, the programs started in order with their arguments, and the
// certificate step. The machine is the test's own: a base folder for the
// exchange and settings files, a Windows folder for the client's INI file,
// registry keys for the uninstall strings and the pending renames, and a
// runner whose programs act as the real ones would. WINDIR and ProgramData
// of the environment, which a user's profile can set, point at a decoy with
// a client INI file and a VelmoInit.exe of its own: no row reads the one,
// starts the other or fetches anything below it.
//
// Only Windows can show: that a user cannot write the folders the setups are
// fetched to and run from, and so cannot plant a DLL for them to load (Wine
// keeps no access lists; it makes one up from the folder's mode bits, which
// shows only that the folder grants nobody but its owner and SYSTEM
// anything, where an ordinary folder lets everyone read), and that the
// folder of an earlier run, owned by the Administrators, is removed rather
// than set aside (Wine reports every file as the user's). A link is made
// from the host's side, as a junction would be on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "AdminOnlyAccess.h"
#include "InstallFakes.h"
#include "SetAsideEntries.h"
#include "qen_lib/signer/signer_certificate.h"
#include "fileops/AdminOnlyFolder.h"
#include "startup/VelmoUpgradeToolSubApp.h"
#include "support/HostLink.h"
#include "support/StateFixtures.h"

namespace {

const std::wstring kGuid = L"{11111111-2A6F-4D08-9B5E-C41F0A7D3E62}";
const std::wstring kRefusedEntry = L"/x {22222222-2A6F-4D08-9B5E-C41F0A7D3E62} & calc";
constexpr wchar_t kClientUrl[] = L"https://dl.example.jp/velmo/Velmo.exe";
constexpr wchar_t kAuxSetupUrl[] = L"https://dl.example.jp/pelmarch/setup.exe";
constexpr wchar_t kAuxMsiUrl[] = L"https://dl.example.jp/pelmarch/Pelmarch.msi";

enum class Client { NoUpdate, Update, UpdateWithoutScript };
enum class Dialog { None, Closing, Small };

struct Orders {
    const wchar_t* installed;  // [Velmo] ver; "" for no client
    Client client;
    bool auxApp;               // [Pelmarch] is_new
    const wchar_t* cacerts;    // [Command] cacerts as written
    const wchar_t* arguments = L"";
    std::wstring uninstallAll = L"";
};

struct DownloadAnswer {
    INT_PTR dialogResult;
    int errorCategory;
    int errorCode;
    int cancelled;
    int missingFiles;  // files of the list not finished
};

const DownloadAnswer kDownloaded{IDOK, DOWNLOAD_NO_ERROR, 0, 0, 0};

// What lay where a setup is fetched to, before the run: a folder of a
// user's own with a DLL for the setup to load and a setup of their own; the
// same with every name of the set-aside scheme before ours (".aside1" to
// ".aside100") taken; that folder held open without delete sharing, as
// another program may, so that it cannot be moved; an earlier run's
// admin-only folder with what it left; or a link to a folder of someone
// else's (a victim), which holds a file of the setup's name.
enum class Planted { Nothing, Folder, FolderWithAsideNamesTaken, HeldFolder, EarlierRun, Link };

struct Machine {
    DownloadAnswer download = kDownloaded;
    const wchar_t* unsignedFile = L"";      // "client", "auxSetup" or "auxMsi"
    const wchar_t* setupInstalls = L"6.2.0";  // version the setup leaves; "": none; null: it does not start
    bool admin = true;
    bool hardened = true;
    bool uninstallerRemovesClient = true;
    bool certificatesOk = true;
    bool zavaZuvazWithoutProperties = false;
    Planted planted = Planted::Nothing;          // where the client setup is fetched to
    Planted downloadPlanted = Planted::Nothing;  // ...\data\download
};

struct Expected {
    Dialog dialog;
    const wchar_t* message;  // what the dialog's message holds
    const wchar_t* label;    // the version in the closing dialog's label
    std::vector<std::wstring> started;
    const wchar_t* certificateClient;  // "old", "new", "" (no client) or null: no certificate step
};

struct RunCase {
    const char* name;
    Orders orders;
    Machine machine;
    Expected expected;
};

// [Command] uninst runs as it stands; uninst_all entries end in "/q".
const std::wstring kRemoveOld[] = {L"msiexec /x " + kGuid + L" /passive", L"C:\\v\\velmo.exe /uninst", L"wscript"};
const std::wstring kUpgrade = L"setup /v\"VELMO_VERSION_UP=1 DO_NOT_LAUNCH_VELMO_INIT=1\"";
const std::wstring kFresh = L"setup /v\"DO_NOT_LAUNCH_VELMO_INIT=1\"";

std::vector<std::wstring> Started(std::initializer_list<std::wstring> steps, bool removeOld = true) {
    std::vector<std::wstring> started;
    if (removeOld) started.assign(std::begin(kRemoveOld), std::end(kRemoveOld));
    started.insert(started.end(), steps);
    return started;
}

constexpr wchar_t kInstalled[] = L"「Velmoご利用ソフト」がインストールされました。";
constexpr wchar_t kCancelled[] = L"「Velmoご利用ソフト」のダウンロードをキャンセルしました。";
constexpr wchar_t kRootsUpdated[] = L"ルート証明書を更新しました。";

const RunCase kRunCases[] = {
    {"nothing ordered: K814", {L"", Client::NoUpdate, false, L""}, {},
     {Dialog::Closing, L"K814", L"なし", {}, nullptr}},
    {"a declined certificate order (cacerts empty) is not carried out", {L"6.1.9", Client::NoUpdate, false, L""}, {},
     {Dialog::Closing, L"(エラー：K814)", L"6.1.9", {}, nullptr}},
    {"cacerts other than 1 is no order", {L"6.1.9", Client::NoUpdate, false, L"01"}, {},
     {Dialog::Closing, L"K814", L"6.1.9", {}, nullptr}},
    {"a setup without the deployment's script is no update", {L"6.1.9", Client::UpdateWithoutScript, false, L""}, {},
     {Dialog::Closing, L"K814", L"6.1.9", {}, nullptr}},
    {"no administrator: K700", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.2.0", false},
     {Dialog::Closing, L"インストールには管理者権限が必要です。\nインストールを中止します(エラー：K700)", L"6.1.9", {},
      nullptr}},
    {"DLL search not hardened: K818", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.2.0", true, false},
     {Dialog::Closing, L"K818", L"6.1.9", {}, nullptr}},
    {"root certificates only", {L"6.1.9", Client::NoUpdate, false, L"1"}, {},
     {Dialog::Small, kRootsUpdated, nullptr, {}, L"old"}},
    {"root certificates fail: K704", {L"6.1.9", Client::NoUpdate, false, L"1"},
     {kDownloaded, L"", L"6.2.0", true, true, true, false},
     {Dialog::Small, L"K704", nullptr, {}, L"old"}},
    {"/download_pelmarch skips the certificate step", {L"6.1.9", Client::NoUpdate, false, L"1", L"/download_pelmarch"},
     {kDownloaded, L"", L"6.2.0", true, true, true, false},
     {Dialog::Small, kRootsUpdated, nullptr, {}, nullptr}},
    {"6.1.9 to 6.2.0: VelmoInit starts", {L"6.1.9", Client::Update, false, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"6.1.9 again: no VelmoInit", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.1.9"},
     {Dialog::Closing, kInstalled, L"6.1.9", Started({kUpgrade}), L"new"}},
    {"7.0.0: VelmoInit starts", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"7.0.0"},
     {Dialog::Closing, kInstalled, L"7.0.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"first client: nothing of its own to remove", {L"", Client::Update, false, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0",
      Started({L"C:\\v\\velmo.exe /uninst", L"wscript", kFresh, L"VelmoInit"}, false), L"new"}},
    {"client and auxiliary application together", {L"6.1.9", Client::Update, true, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"refused uninstall orders are reported, not run",
     {L"6.1.9", Client::Update, false, L"", L"", L" ;" + kRefusedEntry + L" ; ;/x " + kGuid}, {},
     {Dialog::Closing, L"実行しませんでした。\n・/x {22222222-2A6F-4D08-9B5E-C41F0A7D3E62} & calc", L"6.2.0",
      Started({L"msiexec /x " + kGuid + L" /passive", L"msiexec /x " + kGuid + L" /q", L"C:\\v\\velmo.exe /uninst",
               L"wscript", kUpgrade, L"VelmoInit"},
              false),
      L"new"}},
    {"settings the ZavaZuvaz pack loses are named", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, true},
     {Dialog::Closing,
      L"インストールされました。\nただし以下の情報を引き継げませんでした。"
      L"\n・リポジトリ接続プロトコル設定",
      L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder where the setup is fetched to is set aside unread, its DLL never beside the setup",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Folder},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder where the setup is fetched to, with .aside1 to .aside100 taken, is still set aside",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::FolderWithAsideNamesTaken},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder that cannot be set aside: K501 with its reason, nothing fetched",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::HeldFolder},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：32)", L"6.1.9", {}, nullptr}},
    {"download cancelled", {L"6.1.9", Client::Update, false, L""}, {{IDCANCEL, DOWNLOAD_NO_ERROR, 0, 1, 1}},
     {Dialog::Closing, kCancelled, L"6.1.9", {}, nullptr}},
    {"proxy authentication given up", {L"", Client::NoUpdate, true, L""}, {{IDCANCEL, DOWNLOAD_NO_ERROR, 9999, 0, 2}},
     {Dialog::Closing, kCancelled, L"なし", {}, nullptr}},
    {"client download fails: K501", {L"6.1.9", Client::Update, false, L""},
     {{IDCANCEL, DOWNLOAD_REQUEST_FAILED, 404, 0, 1}},
     {Dialog::Closing, L"ダウンロードに失敗しました(エラー：K501 , 詳細コード：404)", L"6.1.9", {}, nullptr}},
    {"a progress dialog that could not run: K501, though files of an earlier run lie there",
     {L"6.1.9", Client::Update, false, L""}, {{-1, DOWNLOAD_NO_ERROR, 1813, 0, 0}},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：1813)", L"6.1.9", {}, nullptr}},
    {"OK without every file: K501", {L"6.1.9", Client::Update, true, L""}, {{IDOK, DOWNLOAD_NO_ERROR, 0, 0, 1}},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：0)", L"6.1.9", {}, nullptr}},
    {"auxiliary download fails: K506", {L"6.1.9", Client::NoUpdate, true, L""},
     {{IDCANCEL, DOWNLOAD_READ_FAILED, 12002, 0, 1}},
     {Dialog::Closing, L"「電子入札補助アプリ」のダウンロードに失敗しました(エラー：K506 , 詳細コード：12002)",
      L"6.1.9", {}, nullptr}},
    {"client setup not the maker's: K602, deleted, nothing runs", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"client"},
     {Dialog::Closing, L"(エラー：K602)", L"6.1.9", {}, nullptr}},
    {"auxiliary setup not its publisher's: K605", {L"6.1.9", Client::Update, true, L""}, {kDownloaded, L"auxSetup"},
     {Dialog::Closing, L"(エラー：K605)", L"6.1.9", {}, nullptr}},
    {"auxiliary package not its publisher's: K606", {L"6.1.9", Client::NoUpdate, true, L"1"}, {kDownloaded, L"auxMsi"},
     {Dialog::Closing, L"(エラー：K606)", L"6.1.9", {}, nullptr}},
    {"the old client stays: K702, no setup", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, false},
     {Dialog::Closing, L"アンインストールに失敗しました(エラー：K702)", L"6.1.9", Started({}), nullptr}},
    {"the setup does not start: K701", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", nullptr},
     {Dialog::Closing, L"インストールに失敗しました(エラー：K701)", L"なし", Started({kUpgrade}), L""}},
    {"the setup leaves no client: K701", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L""},
     {Dialog::Closing, L"K701", L"なし", Started({kUpgrade}), L""}},
    {"no client after the setup, with a certificate order: the certificate result",
     {L"6.1.9", Client::Update, false, L"1"}, {kDownloaded, L"", L"", true, true, true, false},
     {Dialog::Small, L"K704", nullptr, Started({kUpgrade}), L""}},
    {"auxiliary application only, certificates declined: VelmoInit, no certificate step, no dialog",
     {L"6.2.0", Client::NoUpdate, true, L""}, {},
     {Dialog::None, L"", nullptr, {L"VelmoInit"}, nullptr}},
    {"an earlier run's download folder is made anew: nothing of it lies beside the new files",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::EarlierRun},
     {Dialog::None, L"", nullptr, {L"VelmoInit"}, nullptr}},
    {"a user's download folder is set aside unread, its DLL never beside the auxiliary setup",
     {L"6.1.9", Client::Update, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Folder},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    // Windows renames the link itself, and the download goes on in a new
    // folder; Wine follows a host link even to rename it, so the link is
    // refused (1921) rather than moving what it leads to.
    {"a link at the download folder is never followed: where it leads stays as it was",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Link},
     {Dialog::Closing, L"(エラー：K506 , 詳細コード：1921)", L"6.2.0", {}, nullptr}},
    {"a download folder that cannot be set aside: K506 with its reason, nothing fetched",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::HeldFolder},
     {Dialog::Closing, L"(エラー：K506 , 詳細コード：32)", L"6.2.0", {}, nullptr}},
    {"auxiliary only with /download_pelmarch: nothing starts",
     {L"6.2.0", Client::NoUpdate, true, L"", L"/download_pelmarch"}, {},
     {Dialog::None, L"", nullptr, {}, nullptr}},
    {"auxiliary application and root certificates under /download_pelmarch: VelmoInit starts",
     {L"6.2.0", Client::NoUpdate, true, L"1", L"/download_pelmarch"}, {},
     {Dialog::Small, kRootsUpdated, nullptr, {L"VelmoInit"}, nullptr}},
};

// Where a user's profile may point WINDIR and ProgramData: a client INI file
// naming a client folder with its own VelmoInit.exe.
class EnvironmentDecoy {
public:
    EnvironmentDecoy() {
        const std::wstring ini = m_folder / L"ZRVCAVelmo.ini";
        WritePrivateProfileStringW(L"ZRVCAVelmo", L"ZRVVelmoVersion", L"9.9.9", ini.c_str());
        WritePrivateProfileStringW(L"ZRVCAVelmo", L"Directory", Client().c_str(), ini.c_str());
        WriteFileBytes(Client() + L"\\VelmoInit.exe", "MZ");
    }
    std::wstring Client() const { return m_folder / L"client"; }

private:
    TempFolder m_folder;
    ScopedEnvironmentVariable m_windir{L"WINDIR", m_folder.path()};
    ScopedEnvironmentVariable m_programData{L"ProgramData", m_folder.path()};
};

// A folder that is held without delete sharing cannot be renamed; one that
// can is put back at once.
bool Renamable(const std::wstring& folder) {
    const std::wstring moved = folder + L".moved";
    if (!MoveFileExW(folder.c_str(), moved.c_str(), 0)) return false;
    EXPECT_TRUE(MoveFileExW(moved.c_str(), folder.c_str(), 0));
    return true;
}

// A machine of the test's own for one row.
class SubAppMachine : public SubAppActions {
public:
    explicit SubAppMachine(const RunCase& row);

    // SubAppActions
    bool HardenDllSearchPath() override { return m_row.machine.hardened; }
    std::wstring ClientIniPath() override { return m_clientIni; }
    DownloadRun Download(const DownloadList& list, const CString& status) override;
    BOOL VerifyFileSigner(const std::wstring& path, int signerKind, win::FileHandle& held) override;
    ProgramRunner& Runner() override { return m_runner; }
    bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDirectory) override;
    void ShowClosingDialog(const ClosingDialogText& text) override;
    void ShowSmallClosingDialog(const CString& message) override;

    // The row run through a freshly built application; checks the outcome.
    void RunAndCheck();

private:
    void WriteOrders() const;
    void WriteClient(const std::wstring& version, const std::wstring& folder) const;
    void PlayProgram(const std::wstring& line);
    std::wstring Shorten(const std::wstring& line) const;
    std::wstring ClientName(const std::wstring& folder) const;
    // "client", "auxSetup" or "auxMsi", as the rows name the downloaded files.
    std::wstring FileName(const std::wstring& path) const;
    bool Writable(const std::wstring& path) const;
    void Plant(const std::wstring& folder, Planted planted, const wchar_t* setupName);
    void CheckDownloadedFiles() const;
    void CheckPlantedFolder(const std::wstring& folder, Planted planted, const wchar_t* setupName) const;
    void CheckDownloadFolder() const;

    const RunCase& m_row;
    TempFolder m_base, m_clients, m_windows, m_victim;
    const std::wstring m_clientIni = m_windows / L"ZRVCAVelmo.ini";
    EnvironmentDecoy m_decoy;
    TestRegistryKey m_uninstallKeys, m_sessionManager;
    RecordingRunner m_runner;
    const std::wstring m_oldClient = m_clients / L"old\\client";
    const std::wstring m_newClient = m_clients / L"new\\client";
    const ScriptBesideTheProgram m_script;
    const std::wstring m_setupFolder = m_base / L"ZRV\\VelmoUpgradeTool\\setupstaging";
    const std::wstring m_clientSetup = m_setupFolder + L"\\Velmo.exe";
    const std::wstring m_downloadFolder = m_base / L"ZRV\\VelmoUpgradeTool\\data\\download";
    const std::wstring m_auxSetup = m_downloadFolder + L"\\setup.exe";
    const std::wstring m_auxMsi = m_downloadFolder + L"\\Pelmarch.msi";
    std::vector<win::FileHandle> m_heldPlantedFolders;
    std::map<std::wstring, std::string> m_victimBefore;

    // What the run did.
    DownloadList m_downloaded;
    bool m_downloadAsked = false;
    std::vector<std::wstring> m_certificateClients;
    std::vector<std::pair<Dialog, ClosingDialogText>> m_dialogs;
    bool m_setupHeld = false;
    bool m_setupFolderAdminOnly = false;
    bool m_setupFolderHeld = false;
    bool m_auxFilesHeldAtInit = false;
    bool m_downloadFolderHeldAtInit = false;
};

SubAppMachine::SubAppMachine(const RunCase& row) : m_row(row) {
    m_uninstallKeys.SetText(L"ZRV Velmo", L"UninstallString", L"C:\\v\\velmo.exe");
    MakeFolder(m_base / L"ZRV\\VelmoUpgradeTool\\data");
    for (const std::wstring& client : {m_oldClient, m_newClient}) WriteFileBytes(client + L"\\VelmoInit.exe", "MZ");
    if (!row.machine.zavaZuvazWithoutProperties)
        WriteFileBytes(m_oldClient + L"\\.kvxwrap\\.properties", "a=1\r\n");
    else
        WriteFileBytes(m_clients / L"old\\Velmo ZavaZuvaz OptionPack\\Dravenset.exe", "MZ");
    if (*row.orders.installed) WriteClient(row.orders.installed, m_oldClient);
    Plant(m_setupFolder, row.machine.planted, L"Velmo.exe");
    Plant(m_downloadFolder, row.machine.downloadPlanted, L"setup.exe");
    WriteOrders();
    m_runner.onRun = [this](const std::wstring& line) { PlayProgram(line); };
}

void SubAppMachine::Plant(const std::wstring& folder, Planted planted, const wchar_t* setupName) {
    switch (planted) {
    case Planted::Nothing:
        return;
    case Planted::Link:
        WriteFileBytes(m_victim / setupName, "victim's file");
        m_victimBefore = FolderFiles(m_victim.path());
        MakeFolder(folder.substr(0, folder.find_last_of(L'\\')));
        ASSERT_TRUE(MakeHostLink(folder, m_victim.path()));
        return;
    case Planted::EarlierRun:
        MakeFolder(folder.substr(0, folder.find_last_of(L'\\')));
        ASSERT_TRUE(CreateAdminOnlyFolder(folder));
        WriteFileBytes(folder + L"\\" + setupName, "earlier setup");
        WriteFileBytes(folder + L"\\earlier.log", "earlier run");
        return;
    case Planted::FolderWithAsideNamesTaken:
        for (int n = 1; n <= 100; ++n) MakeFolder(folder + L".aside" + std::to_wstring(n));
        break;
    default:
        break;
    }
    WriteFileBytes(folder + L"\\version.dll", "planted DLL");
    WriteFileBytes(folder + L"\\" + setupName, "planted setup");
    if (planted != Planted::HeldFolder) return;
    m_heldPlantedFolders.emplace_back(CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_TRUE(m_heldPlantedFolders.back().valid()) << GetLastError();
}

void SubAppMachine::WriteOrders() const {
    const Orders& o = m_row.orders;
    const std::wstring exchange = m_base / L"ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini";
    const std::wstring settings = m_base / L"ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini";
    const std::wstring version = o.installed;
    const struct {
        const std::wstring& file;
        const wchar_t* section;
        const wchar_t* key;
        std::wstring value;
    } values[] = {
        {exchange, L"Velmo", L"major", version.empty() ? L"0" : version.substr(0, 1)},
        {exchange, L"Velmo", L"minor", version.empty() ? L"0" : version.substr(2, 1)},
        {exchange, L"Velmo", L"sub_minor", version.empty() ? L"0" : version.substr(4)},
        {exchange, L"Velmo", L"ver", version},
        {exchange, L"Command", L"uninst", version.empty() ? L"" : L"/x " + kGuid + L" /passive"},
        {exchange, L"Command", L"dURL",
         o.client == Client::NoUpdate ? L"\"\"" : L"\"" + std::wstring(kClientUrl) + L"\""},
        {exchange, L"Command", L"uninst_all", o.uninstallAll},
        {exchange, L"Command", L"cacerts", o.cacerts},
        {exchange, L"Message", L"common", L"お知らせ(NL)二行目"},
        {exchange, L"Pelmarch", L"is_new", o.auxApp ? L"1" : L"0"},
        {settings, L"APP", L"vbs_file", o.client == Client::UpdateWithoutScript ? L"" : m_script.path()},
        {settings, L"SERVER", L"Pelmarch", kAuxSetupUrl},
        {settings, L"SERVER", L"PelmarchMsi", kAuxMsiUrl},
    };
    for (const auto& v : values)
        ASSERT_TRUE(WritePrivateProfileStringW(v.section, v.key, v.value.c_str(), v.file.c_str())) << v.key;
}

void SubAppMachine::WriteClient(const std::wstring& version, const std::wstring& folder) const {
    WritePrivateProfileStringW(L"ZRVCAVelmo", L"ZRVVelmoVersion", version.c_str(), m_clientIni.c_str());
    WritePrivateProfileStringW(L"ZRVCAVelmo", L"Directory", folder.c_str(), m_clientIni.c_str());
}

// The uninstallers remove the client's INI file, the setup writes the new
// client's; the setup and the auxiliary files must be held while they run.
void SubAppMachine::PlayProgram(const std::wstring& line) {
    const std::wstring program = Shorten(line);
    m_runner.starts = true;
    if (program.compare(0, 5, L"setup") == 0) {
        m_setupHeld = !Writable(m_clientSetup);
        m_setupFolderAdminOnly = GrantsOnlyOwnerSystemAndAdministrators(m_setupFolder) &&
                                 !testing_support::exists(m_setupFolder + L"\\version.dll");
        m_setupFolderHeld = !Renamable(m_setupFolder);
        m_runner.starts = m_row.machine.setupInstalls != nullptr;
        if (m_runner.starts && *m_row.machine.setupInstalls) WriteClient(m_row.machine.setupInstalls, m_newClient);
    } else if (program.compare(0, 9, L"VelmoInit") == 0) {
        m_auxFilesHeldAtInit = !Writable(m_auxSetup) && !Writable(m_auxMsi);
        m_downloadFolderHeldAtInit = !Renamable(m_downloadFolder);
    } else if (program != L"wscript" && m_row.machine.uninstallerRemovesClient) {
        DeleteFileW(m_clientIni.c_str());
    }
}

std::wstring SubAppMachine::Shorten(const std::wstring& line) const {
    return Shortened(line, {{QuotedSystemProgram(L"msiexec.exe"), L"msiexec"},
                            {QuotedSystemProgram(L"wscript.exe") + L" \"" + m_script.path() + L"\"", L"wscript"},
                            {L"\"" + m_clientSetup + L"\"", L"setup"},
                            {L"\"" + m_oldClient + L"\\VelmoInit.exe\" ", L"VelmoInit"},
                            {L"\"" + m_newClient + L"\\VelmoInit.exe\" ", L"VelmoInit"},
                            {L"\"" + m_decoy.Client() + L"\\VelmoInit.exe\" ", L"the decoy's VelmoInit"}});
}

std::wstring SubAppMachine::ClientName(const std::wstring& folder) const {
    if (folder == m_oldClient) return L"old";
    if (folder == m_newClient) return L"new";
    return folder;
}

std::wstring SubAppMachine::FileName(const std::wstring& path) const {
    return path == m_clientSetup ? L"client" : path == m_auxSetup ? L"auxSetup" : L"auxMsi";
}

bool SubAppMachine::Writable(const std::wstring& path) const {
    const DWORD anySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    return win::FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, anySharing, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr))
        .valid();
}

DownloadRun SubAppMachine::Download(const DownloadList& list, const CString&) {
    m_downloadAsked = true;
    m_downloaded = list;
    const DownloadAnswer& answer = m_row.machine.download;
    DownloadRun run;
    run.dialogResult = answer.dialogResult;
    run.result.error_category = answer.errorCategory;
    run.result.error_code = answer.errorCode;
    run.result.cancelled = answer.cancelled;
    run.result.finished_count = static_cast<int>(list.size()) - answer.missingFiles;
    if (answer.missingFiles == 0)
        for (const DownloadItem& item : list) WriteFileBytes(item.path.str(), "MZ");
    return run;
}

BOOL SubAppMachine::VerifyFileSigner(const std::wstring& path, int signerKind, win::FileHandle& held) {
    EXPECT_EQ(signerKind, path == m_clientSetup ? SIGNER_KIND_MAKER : SIGNER_KIND_AUX_APP) << path;
    if (FileName(path) == m_row.machine.unsignedFile) return FALSE;
    held.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return held.valid();
}

bool SubAppMachine::UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDirectory) {
    EXPECT_EQ(baseFolder, m_base.path());
    m_certificateClients.push_back(ClientName(clientDirectory));
    return m_row.machine.certificatesOk;
}

void SubAppMachine::ShowClosingDialog(const ClosingDialogText& text) { m_dialogs.emplace_back(Dialog::Closing, text); }

void SubAppMachine::ShowSmallClosingDialog(const CString& message) {
    m_dialogs.emplace_back(Dialog::Small, ClosingDialogText{message, CString(), CString()});
}

void SubAppMachine::CheckDownloadedFiles() const {
    const Orders& o = m_row.orders;
    DownloadList expected;
    if (o.client == Client::Update) expected.push_back({kClientUrl, m_clientSetup.c_str()});
    if (o.auxApp) {
        expected.push_back({kAuxSetupUrl, m_auxSetup.c_str()});
        expected.push_back({kAuxMsiUrl, m_auxMsi.c_str()});
    }
    const bool mayDownload = m_row.machine.admin && m_row.machine.hardened && !expected.empty() &&
                             m_row.machine.planted != Planted::HeldFolder &&
                             m_row.machine.downloadPlanted != Planted::HeldFolder &&
                             m_row.machine.downloadPlanted != Planted::Link;
    ASSERT_EQ(m_downloadAsked, mayDownload);
    if (!mayDownload) return;
    ASSERT_EQ(m_downloaded.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_downloaded[i].url, expected[i].url);
        EXPECT_EQ(m_downloaded[i].path, expected[i].path);
        // A file that failed its check is gone; the others stay.
        const std::wstring path = expected[i].path.str();
        if (m_row.machine.download.missingFiles == 0) {
            EXPECT_NE(testing_support::exists(path), FileName(path) == m_row.machine.unsignedFile) << path;
        }
    }
}

// Moved aside whole, never read, followed or emptied.
void SubAppMachine::CheckPlantedFolder(const std::wstring& folder, Planted planted, const wchar_t* setupName) const {
    if (planted == Planted::Nothing) return;
    if (planted == Planted::Link) {
        EXPECT_EQ(FolderFiles(m_victim.path()), m_victimBefore) << "the run changed where the link leads";
        return;
    }
    const std::vector<std::wstring> aside = SetAsideEntries(folder);
    ASSERT_EQ(aside.size(), planted == Planted::HeldFolder ? 0u : 1u);
    const std::wstring planting = planted == Planted::HeldFolder ? folder : aside.front();
    // Wine reads every folder back as the user's, so an earlier run's is set
    // aside too; Windows removes it.
    const bool earlier = planted == Planted::EarlierRun;
    EXPECT_EQ(testing_support::read_bytes(planting + L"\\" + setupName), earlier ? "earlier setup" : "planted setup");
    if (!earlier) {
        EXPECT_EQ(testing_support::read_bytes(planting + L"\\version.dll"), "planted DLL");
    }
}

// The auxiliary files lie at their paths in a folder made anew for them,
// admin-only and held while VelmoInit.exe may install them, with nothing
// else beside them.
void SubAppMachine::CheckDownloadFolder() const {
    if (!m_row.orders.auxApp || !m_downloadAsked || m_row.machine.download.missingFiles != 0) return;
    EXPECT_TRUE(GrantsOnlyOwnerSystemAndAdministrators(m_downloadFolder));
    std::map<std::wstring, std::string> expected;
    for (const wchar_t* name : {L"setup.exe", L"Pelmarch.msi"})
        if (FileName(m_downloadFolder + L"\\" + name) != m_row.machine.unsignedFile) expected[name] = "MZ";
    EXPECT_EQ(FolderFiles(m_downloadFolder), expected);
    if (!m_row.expected.started.empty() && m_row.expected.started.back() == L"VelmoInit") {
        EXPECT_TRUE(m_auxFilesHeldAtInit) << "the auxiliary files could be changed while VelmoInit ran";
        EXPECT_TRUE(m_downloadFolderHeldAtInit) << "their folder could be swapped while VelmoInit ran";
    }
}

void SubAppMachine::RunAndCheck() {
    {
        CVelmoUpgradeToolSubApp app([this] { return m_base.path(); },
                                    std::wstring(L"Velmoご利用ソフト更新ツール.exe ") + m_row.orders.arguments);
        app.m_isAdmin = m_row.machine.admin ? 1 : 0;
        app.m_places.uninstallKeys = m_uninstallKeys.Place();
        app.m_places.sessionManager = m_sessionManager.Place();
        app.Run(*this);
    }
    const Expected& e = m_row.expected;
    std::vector<std::wstring> started;
    for (const std::wstring& line : m_runner.started) started.push_back(Shorten(line));
    EXPECT_EQ(started, e.started);

    if (e.dialog == Dialog::None) {
        EXPECT_TRUE(m_dialogs.empty());
    } else if (m_dialogs.size() == 1) {
        const auto& [kind, text] = m_dialogs.front();
        EXPECT_EQ(kind, e.dialog);
        EXPECT_NE(text.message.Find(e.message), -1) << testing::PrintToString(text.message.str());
        if (e.label) {
            EXPECT_EQ(text.notice, L"お知らせ\n二行目");
            EXPECT_EQ(text.versionLabel, std::wstring(L"Velmoご利用ソフト： ") + e.label);
        }
    } else {
        ADD_FAILURE() << m_dialogs.size() << " dialogs";
    }

    const std::vector<std::wstring> certificateClients =
        e.certificateClient ? std::vector<std::wstring>{e.certificateClient} : std::vector<std::wstring>{};
    EXPECT_EQ(m_certificateClients, certificateClients);
    CheckDownloadedFiles();
    CheckPlantedFolder(m_setupFolder, m_row.machine.planted, L"Velmo.exe");
    CheckPlantedFolder(m_downloadFolder, m_row.machine.downloadPlanted, L"setup.exe");
    CheckDownloadFolder();
    const bool setupRan = std::find(e.started.begin(), e.started.end(), kUpgrade) != e.started.end() ||
                          std::find(e.started.begin(), e.started.end(), kFresh) != e.started.end();
    if (setupRan) {
        EXPECT_TRUE(m_setupHeld) << "the setup could be changed while it ran";
        EXPECT_TRUE(m_setupFolderAdminOnly) << "the setup ran from a folder a user could write";
        EXPECT_TRUE(m_setupFolderHeld) << "the setup's folder could be swapped while it ran";
    }
    // The orders are blanked, whatever the run did.
    const std::wstring exchange = m_base / L"ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini";
    EXPECT_EQ(RawProfileValue(exchange, L"Command", L"dURL"), L"");
    EXPECT_EQ(RawProfileValue(exchange, L"Command", L"cacerts"), L"");
}

}  // namespace

TEST(SubAppRun, DecisionTable) {
    for (const RunCase& row : kRunCases) {
        SCOPED_TRACE(row.name);
        SubAppMachine(row).RunAndCheck();
    }
}
