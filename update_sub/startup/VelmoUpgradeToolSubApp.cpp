#include "startup/VelmoUpgradeToolSubApp.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

#include "certfolders/CertFolderUpdate.h"
#include "client/InstalledProductInfo.h"
#include "dialogs/VelmoUpgradeToolDlg_Close.h"
#include "dialogs/MessageDialogs.h"
#include "download/VelmoUpgradeToolDlg_Progress.h"
#include "messages/NewlineMarks.h"
#include "messages/UserMessages.h"
#include "process/ProcessFlags.h"
#include "process/ProcessSetup.h"
#include "qen_lib/signer/VerifyFileSigner.h"
#include "res/resource.h"
#include "startup/ExchangeBlanks.h"
#include "startup/SubAppFlow.h"
#include "win/handle.h"

namespace {

// The real dialogs, downloads and programs behind the run.
class AppSubActions : public SubAppActions {
public:
    bool HardenDllSearchPath() override { return ::HardenDllSearchPath(); }
    std::wstring ClientIniPath() override { return GetInstalledProductIniPath(std::wstring()); }
    DownloadRun Download(const DownloadList& list, const CString& status) override;
    BOOL VerifyFileSigner(const std::wstring& path, int signerKind, win::FileHandle& held) override {
        return ::VerifyFileSigner(path.c_str(), signerKind, held);
    }
    ProgramRunner& Runner() override { return m_runner; }
    bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDirectory) override {
        return ::UpdateCertificateFolders(baseFolder, clientDirectory);
    }
    void ShowClosingDialog(const ClosingDialogText& text) override {
        VelmoUpgradeToolDlg_Close dialog;
        dialog.m_message = text.message;
        dialog.m_notice = text.notice;
        dialog.m_versionLabel = text.versionLabel;
        dialog.m_linkAddress = SUPPORT_URL;
        dialog.DoModal();
    }
    void ShowSmallClosingDialog(const CString& message) override { ShowSmallClose(message); }

private:
    ProcessRunner m_runner;
    VelmoUpgradeToolDlg_Progress m_progress;
};

DownloadRun AppSubActions::Download(const DownloadList& list, const CString& status) {
    m_progress.m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_progress.m_hidden = 0;
    m_progress.m_expectedSize = 10000000.0f;
    m_progress.m_chunkSize = 1024;
    // No time-out: a client setup of many megabytes takes long on a slow line.
    m_progress.m_timerSwitch = 0;
    m_progress.m_message = status;
    m_progress.m_list = list;
    m_progress.m_client.m_userAgent = L"ZRVVelmoUpgradeTool_Sub";
    DownloadRun run;
    run.dialogResult = m_progress.DoModal();
    run.result = m_progress.Result();
    // A dialog that could not run fetched nothing; its reason is the detail.
    if (run.dialogResult == -1 && run.result.error_code == 0)
        run.result.error_code = static_cast<int>(::GetLastError());
    return run;
}

}  // namespace

CVelmoUpgradeToolSubApp::CVelmoUpgradeToolSubApp()
    : CVelmoUpgradeToolSubApp(GetProgramDataFolder, ::GetCommandLineW()) {}

CVelmoUpgradeToolSubApp::CVelmoUpgradeToolSubApp(const FolderSource& baseFolder, const std::wstring& commandLine)
    : m_store(baseFolder), m_baseFolder(baseFolder) {
    IsMainProgram = 0;
    m_isAdmin = ::IsUserAnAdmin() ? 1 : 0;
    ParseCommandLine(commandLine);

    const ExchangeOrders orders = m_store.ReadCommands();
    m_vbsFile = m_store.GetVbsFile().str();
    m_env.installed = orders.installed;
    m_uninst = orders.uninst;
    m_dURL = orders.dURL;
    m_common = ExpandNewlineMarks(orders.common);
    m_cacerts = orders.cacerts;
    m_uninstAll = m_store.ReadUninstallAll();
    // Blanked before anything is carried out: whatever happens to this run,
    // no later one carries the same orders out again.
    BlankExchangeOrders(m_store.BaseFolder());
}

CVelmoUpgradeToolSubApp::~CVelmoUpgradeToolSubApp() { BlankExchangeOrders(m_store.BaseFolder()); }

void CVelmoUpgradeToolSubApp::ParseCommandLine(const std::wstring& commandLine) {
    int argc = 0;
    win::LocalMemory owned;
    wchar_t** argv = ::CommandLineToArgvW(commandLine.c_str(), &argc);
    owned.reset(argv);
    m_downloadPelmarch = 0;
    for (int i = 1; argv && i < argc; ++i)
        if (std::wcscmp(argv[i], L"/download_pelmarch") == 0) m_downloadPelmarch = 1;
}

BOOL CVelmoUpgradeToolSubApp::InitInstance() {
    SetJapaneseLocale();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AppSubActions actions;
    Run(actions);
    return FALSE;
}

void CVelmoUpgradeToolSubApp::Run(SubAppActions& actions) { SubAppFlow(*this, actions).Run(); }
