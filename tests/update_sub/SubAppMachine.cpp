#include "SubAppMachine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "AdminOnlyAccess.h"
#include "SetAsideEntries.h"
#include "fileops/AdminOnlyFolder.h"
#include "qen_lib/signer/signer_certificate.h"
#include "startup/VelmoUpgradeToolSubApp.h"
#include "support/HostLink.h"

namespace {

// A folder that is held without delete sharing cannot be renamed; one that
// can is put back at once.
bool Renamable(const std::wstring& folder) {
    const std::wstring moved = folder + L".moved";
    if (!MoveFileExW(folder.c_str(), moved.c_str(), 0)) return false;
    EXPECT_TRUE(MoveFileExW(moved.c_str(), folder.c_str(), 0));
    return true;
}

}  // namespace

SubAppMachine::SubAppMachine(const RunCase& row) : m_row(row) {
    m_uninstallKeys.SetText(L"ZRV Velmo", L"UninstallString", L"C:\\v\\velmo.exe");
    MakeFolder(m_base / L"ZRV\\VelmoUpgradeTool\\data");
    for (const std::wstring& client : {m_oldClient, m_newClient}) WriteFileBytes(client + L"\\VelmoInit.exe", "MZ");
    if (!row.machine.zavaZuvazWithoutProperties)
        WriteFileBytes(m_oldClient + L"\\.kvxwrap\\.properties", "a=1\r\n");
    else
        WriteFileBytes(m_clients / L"old\\Velmo ZavaZuvaz OptionPack\\Dravenset.exe", "MZ");
    if (*row.orders.installed) WriteClient(row.orders.installed, m_oldClient);
    MakeFolder(m_clients / L"stand-in");
    EXPECT_TRUE(CopyFileW(ProbeProgram().c_str(), m_standIn.c_str(), FALSE));
    Plant(m_setupFolder, row.machine.planted, L"Velmo.exe");
    Plant(m_downloadFolder, row.machine.downloadPlanted, L"setup.exe");
    Plant(m_tempFolder, row.machine.tempPlanted, L"Velmo.exe");
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
        RunStandInSetup();
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
                             m_row.machine.tempPlanted != Planted::HeldFolder &&
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

void SubAppMachine::RunStandInSetup() {
    m_tempFolderAdminOnly = GrantsOnlyOwnerSystemAndAdministrators(m_tempFolder) &&
                            !testing_support::exists(m_tempFolder + L"\\version.dll");
    m_tempFolderHeld = !Renamable(m_tempFolder);
    ProcessRunner runner;
    runner.UseEnvironment(m_runner.environment);
    if (runner.RunCommandLineAndWait(L"\"" + m_standIn + L"\"")) m_setupEnvironment = ProbeEnvironment(m_standIn);
    // What a setup unpacks into its TEMP.
    CreateDirectoryW((m_tempFolder + L"\\unpacked").c_str(), nullptr);
    testing_support::write_bytes(m_tempFolder + L"\\unpacked\\setup.tmp", "MZ");
}

// The setup's TEMP and TMP name the folder made for the run, admin-only and
// held while it runs, and nothing of the environment we were started with.
void SubAppMachine::CheckProgramEnvironment() const {
    ASSERT_FALSE(m_setupEnvironment.empty()) << "the stand-in setup did not run";
    EXPECT_EQ(VariableOf(m_setupEnvironment, L"TEMP"), m_tempFolder);
    EXPECT_EQ(VariableOf(m_setupEnvironment, L"TMP"), m_tempFolder);
    for (const std::wstring& entry : m_setupEnvironment)
        EXPECT_EQ(entry.find(m_decoy.Folder()), std::wstring::npos) << testing::PrintToString(entry);
    EXPECT_TRUE(m_tempFolderAdminOnly) << "the setup's TEMP was a folder a user could write";
    EXPECT_TRUE(m_tempFolderHeld) << "the setup's TEMP could be swapped while it ran";
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
    CheckPlantedFolder(m_tempFolder, m_row.machine.tempPlanted, L"Velmo.exe");
    CheckDownloadFolder();
    const bool setupRan = std::find(e.started.begin(), e.started.end(), kUpgrade) != e.started.end() ||
                          std::find(e.started.begin(), e.started.end(), kFresh) != e.started.end();
    if (setupRan) {
        EXPECT_TRUE(m_setupHeld) << "the setup could be changed while it ran";
        EXPECT_TRUE(m_setupFolderAdminOnly) << "the setup ran from a folder a user could write";
        EXPECT_TRUE(m_setupFolderHeld) << "the setup's folder could be swapped while it ran";
        CheckProgramEnvironment();
    }
    // A user's folder that could not be set aside stays theirs. Ours is
    // emptied and stays admin-only: a program that the setup started may
    // still name it as its TEMP.
    if (m_row.machine.tempPlanted != Planted::HeldFolder) {
        EXPECT_EQ(FolderFiles(m_tempFolder), (std::map<std::wstring, std::string>())) << "the programs' TEMP kept files";
        if (setupRan) {
            EXPECT_TRUE(GrantsOnlyOwnerSystemAndAdministrators(m_tempFolder))
                << "the programs' TEMP was gone, its name free for a user to take";
        }
    }
    // The orders are blanked, whatever the run did.
    const std::wstring exchange = m_base / L"ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini";
    EXPECT_EQ(RawProfileValue(exchange, L"Command", L"dURL"), L"");
    EXPECT_EQ(RawProfileValue(exchange, L"Command", L"cacerts"), L"");
}
