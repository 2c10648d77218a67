#include "startup/SubAppFlow.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "certfolders/CertUpdateText.h"
#include "client/InstalledProductInfo.h"
#include "download/DownloadCompletion.h"
#include "fileops/HeldFolder.h"
#include "install/ChildEnvironment.h"
#include "install/ClientInit.h"
#include "messages/SubMessages.h"
#include "paths/PathConstants.h"
#include "paths/PathExpansion.h"
#include "qen_lib/signer/signer_certificate.h"

namespace {

// Where SETUP_EXE_PATH and AUX_APP_MSI_PATH lie, below the common
// application-data folder.
constexpr auto kDownloadSubdir = path_detail::Join(L"\\", DOWNLOAD_DIR);

// The client as its INI file says now; empty when it says nothing.
InstalledProductInfo ReadClient(const std::wstring& iniPath) {
    bool readable = false;
    return ReadInstalledProductInfo(iniPath, readable);
}

}  // namespace

SubAppFlow::SubAppFlow(CVelmoUpgradeToolSubApp& app, SubAppActions& actions)
    : m_app(app),
      m_actions(actions),
      m_clientIniPath(actions.ClientIniPath()),
      m_context(ReadClient(m_clientIniPath), app.m_baseFolder),
      // The deployment's script belongs to every client update.
      m_clientUpdateDue(!app.m_dURL.empty() && !app.m_vbsFile.empty()),
      m_auxAppUpdateDue(app.m_store.ReadAuxAppUpdate().needs_update),
      m_clientSetupFolder(app.m_store.BaseFolder() + CLIENT_SETUP_STAGING_SUBDIR.c_str()),
      m_clientSetup(m_clientSetupFolder + L"\\Velmo.exe"),
      // Below the folder the system names, never one the environment names.
      m_auxAppSetup(ExpandSystemPath(SETUP_EXE_PATH.c_str(), app.m_store.BaseFolder())),
      m_auxAppMsi(ExpandSystemPath(AUX_APP_MSI_PATH.c_str(), app.m_store.BaseFolder())),
      m_closing{CString(), app.m_common.c_str(), app.m_env.InstallStatusLabel().c_str()} {}

SubAppFlow::~SubAppFlow() { m_heldTempFolder.Empty(); }

void SubAppFlow::Run() {
    if (!MayInstall()) return;
    // Only an update starts programs.
    if ((m_clientUpdateDue || m_auxAppUpdateDue) &&
        !(ProgramEnvironmentMade() && Downloaded() && AuxAppFilesSigned() && ClientInstalled()))
        return;
    Finish(UpdateCertificates());
}

bool SubAppFlow::MayInstall() {
    if (!m_app.m_isAdmin) return Closed(SubErrorText(SubError::K700));
    if (!m_actions.HardenDllSearchPath()) return Closed(SubErrorText(SubError::K818));
    if (!m_clientUpdateDue && !m_auxAppUpdateDue && !m_app.m_cacerts) return Closed(SubErrorText(SubError::K814));
    return true;
}

bool SubAppFlow::ProgramEnvironmentMade() {
    // Without it no program may start: ours would hand on the TEMP of
    // whoever started us. The run ends as when a setup's folder fails.
    if (!FolderMade(m_heldTempFolder, PROGRAM_TEMP_SUBDIR.c_str())) return false;
    std::vector<wchar_t> environment = MakeChildEnvironment(m_heldTempFolder.Path());
    if (environment.empty())
        return Closed(SubDownloadFailedText(m_clientUpdateDue, static_cast<int>(::GetLastError())));
    m_actions.Runner().UseEnvironment(std::move(environment));
    return true;
}

bool SubAppFlow::Downloaded() {
    DownloadList list;
    if (m_clientUpdateDue) {
        if (!FolderMade(m_heldSetupFolder, CLIENT_SETUP_STAGING_SUBDIR.c_str())) return false;
        list.push_back({m_app.m_dURL.c_str(), m_clientSetup.c_str()});
    }
    if (m_auxAppUpdateDue) {
        // The auxiliary setup runs elevated too, at the path VelmoInit.exe
        // knows: its folder is made anew there.
        if (!FolderMade(m_heldDownloadFolder, kDownloadSubdir.c_str())) return false;
        list.push_back({m_app.m_store.GetAuxAppSetupUrl(), m_auxAppSetup.c_str()});
        list.push_back({m_app.m_store.GetAuxAppMsiUrl(), m_auxAppMsi.c_str()});
    }
    const DownloadRun run =
        m_actions.Download(list, m_clientUpdateDue ? CLIENT_DOWNLOAD_STATUS_TEXT : AUX_APP_DOWNLOAD_STATUS_TEXT);
    const DownloadResult& result = run.result;
    if (DownloadCancelled(result)) return Closed(SUB_DOWNLOAD_CANCELLED_TEXT);
    // Only OK after every file counts: a dialog that could not run, or whose
    // worker never started, fetched nothing.
    const bool complete =
        DownloadSucceeded(run.dialogResult, result) && result.finished_count == static_cast<int>(list.size());
    return complete || Closed(SubDownloadFailedText(m_clientUpdateDue, result.error_code));
}

bool SubAppFlow::FolderMade(HeldFolder& folder, const wchar_t* subpath) {
    // Made anew for each run; whatever lies there, a user's folder with a
    // DLL for a setup to load, or a link, is set aside unread.
    if (folder.Make(m_app.m_store.BaseFolder(), subpath, 1, HeldFolder::Last::Remade)) return true;
    return Closed(SubDownloadFailedText(m_clientUpdateDue, static_cast<int>(::GetLastError())));
}

bool SubAppFlow::AuxAppFilesSigned() {
    if (!m_auxAppUpdateDue) return true;
    if (!Signed(m_auxAppSetup, SIGNER_KIND_AUX_APP, m_heldAuxAppSetup)) return Closed(SubErrorText(SubError::K605));
    return Signed(m_auxAppMsi, SIGNER_KIND_AUX_APP, m_heldAuxAppMsi) || Closed(SubErrorText(SubError::K606));
}

bool SubAppFlow::ClientInstalled() {
    if (!m_clientUpdateDue) return true;
    // Held from its check until it has run, so that what runs with our
    // rights is what was checked.
    win::FileHandle heldSetup;
    if (!Signed(m_clientSetup, SIGNER_KIND_MAKER, heldSetup)) return Closed(SubErrorText(SubError::K602));
    const InstallOrders orders{m_app.m_env.installed, m_app.m_uninst, m_app.m_uninstAll, m_app.m_vbsFile};
    m_install = InstallClient(m_actions.Runner(), m_context, orders, m_clientIniPath, m_clientSetup, m_app.m_places);
    heldSetup.reset();
    if (m_install->setup == SetupResult::OldClientRemains)
        return Closed(UninstallFailedText() + RefusedOrdersText(m_install->refused));
    if (m_install->setup == SetupResult::Ran) {
        m_app.m_env.installed = ProductVersion();
        m_app.m_env.ReadInstalledVersion(m_clientIniPath);
        m_installedNow = m_app.m_env.installed.major > 0;
    }
    return true;
}

bool SubAppFlow::UpdateCertificates() {
    // Only what this run was asked for: a declined certificate order is
    // withdrawn from the orders, and a new client comes with folders that
    // the package may be newer than.
    if (m_app.m_downloadPelmarch || !(m_app.m_cacerts || m_clientUpdateDue)) return true;
    // Read again: a setup may have just put the client somewhere else.
    return m_actions.UpdateCertificateFolders(m_app.m_store.BaseFolder(), ReadClient(m_clientIniPath).directory);
}

void SubAppFlow::Finish(bool certificatesOk) {
    const CString refused = m_install ? RefusedOrdersText(m_install->refused) : CString();
    if (m_installedNow) {
        m_context.SetInstallState(0);
        ShowOutcome(ClientInstalledText(m_install->probe, m_install->stateWritten) + refused);
    } else if (m_app.m_cacerts) {
        m_actions.ShowSmallClosingDialog(CertUpdateText(certificatesOk) + refused);
        if (m_auxAppUpdateDue) LaunchClientInit(m_actions.Runner(), m_app.m_env, m_clientIniPath);
    } else if (m_auxAppUpdateDue && !m_clientUpdateDue) {
        // No dialog: the main program reports on the auxiliary update itself.
        if (!m_app.m_downloadPelmarch) LaunchClientInit(m_actions.Runner(), m_app.m_env, m_clientIniPath);
    } else {
        ShowOutcome(SubErrorText(SubError::K701) + refused);
    }
}

bool SubAppFlow::Signed(const std::wstring& path, int signerKind, win::FileHandle& held) {
    if (m_actions.VerifyFileSigner(path, signerKind, held)) return true;
    // Gone, so that nothing runs it later by mistake.
    ::DeleteFileW(path.c_str());
    return false;
}

bool SubAppFlow::Closed(const CString& message) {
    m_closing.message = message;
    m_actions.ShowClosingDialog(m_closing);
    return false;
}

void SubAppFlow::ShowOutcome(const CString& message) {
    m_app.m_env.ReadInstalledVersion(m_clientIniPath);
    m_closing.message = message;
    m_closing.versionLabel = m_app.m_env.InstallStatusLabel().c_str();
    m_actions.ShowClosingDialog(m_closing);
    if (m_installedNow && IsClientInitDue(m_app.m_env.installed.ver))
        LaunchClientInit(m_actions.Runner(), m_app.m_env, m_clientIniPath);
}
