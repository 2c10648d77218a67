#include "startup/VelmoUpgradeToolApp.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "client/InstalledProductInfo.h"
#include "commandline/RunMode.h"
#include "dialogs/MessageDialogs.h"
#include "dialogs/VelmoUpgradeToolDlg.h"
#include "dialogs/VelmoUpgradeToolDlg_Close.h"
#include "handover/HandOverBlock.h"
#include "messages/UserMessages.h"
#include "process/ProcessExit.h"
#include "process/ProcessSetup.h"
#include "res/resource.h"
#include "win/handle.h"

namespace {

// The real dialogs and actions behind the end of a run.
class AppRunEndActions : public RunEndActions {
public:
    explicit AppRunEndActions(CVelmoUpgradeToolApp& app) : m_app(app) {}

    // What both dialogs show besides the message.
    void SetDialogFields(const CString& notice, const CString& versionLabel) {
        for (CVelmoUpgradeToolDlg* dialog : {&m_mainDialog, static_cast<CVelmoUpgradeToolDlg*>(&m_closeDialog)}) {
            dialog->m_linkAddress = SUPPORT_URL;
            dialog->m_notice = notice;
            dialog->m_versionLabel = versionLabel;
        }
    }

    INT_PTR ShowMainDialog(const CString& message) override {
        m_mainDialog.m_message = message;
        return m_mainDialog.DoModal();
    }
    void ShowClosingDialog(const CString& message) override {
        m_closeDialog.m_message = message;
        m_closeDialog.DoModal();
    }
    void ShowNoticeBox(const CString& message) override {
        ::MessageBoxW(nullptr, message, VELMO_TITLE, MB_ICONEXCLAMATION);
    }
    INT_PTR Ask(const CString& question, const wchar_t* okCaption) override { return ::Ask(question, okCaption); }
    void AskOrExit(const CString& question) override { ::AskOrExit(question); }
    void ShowCloseAndExit(const CString& message) override { m_app.ShowCloseAndExit(message); }
    void ShowSmallCloseAndExit(const CString& message) override { ::ShowSmallCloseAndExit(message); }
    BOOL IsUserAnAdmin() override { return ::IsUserAnAdmin(); }
    BOOL RunSubCommand(int isAdmin) override { return m_app.RunSubCommand(isAdmin); }
    void ReadAuxAppVersions(CString& currentVersion, CString& newVersion) override {
        const AuxAppVersionInfo info = m_app.m_store.ReadAuxAppUpdate();
        currentVersion = info.installed.text();
        newVersion = info.required.text();
    }
    bool WithdrawRootCertOrder() override { return m_app.m_store.WithdrawCacerts() != FALSE; }
    bool WithdrawAuxAppOrder() override { return m_app.m_store.DeleteAuxAppUpdate() != FALSE; }

private:
    CVelmoUpgradeToolApp& m_app;
    CVelmoUpgradeToolDlg m_mainDialog;
    VelmoUpgradeToolDlg_Close m_closeDialog;
};

}  // namespace

CVelmoUpgradeToolApp::CVelmoUpgradeToolApp() { IsMainProgram = 1; }

bool CVelmoUpgradeToolApp::ParseCommandLine() {
    int argc = 0;
    win::LocalMemory owned;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    owned.reset(argv);
    std::vector<std::wstring> arguments;
    for (int i = 0; argv && i < argc; ++i) arguments.emplace_back(argv[i]);

    const CommandLineOptions options = ParseArguments(arguments);
    m_argc = argc;
    m_runMode = options.runMode;
    g_calledService = options.calledService;
    return true;
}

void CVelmoUpgradeToolApp::ShowCloseAndExit(const CString& message) {
    VelmoUpgradeToolDlg_Close dialog;
    dialog.m_message = message;
    dialog.m_linkAddress = SUPPORT_URL;
    dialog.m_notice = m_db.db.title.c_str();
    dialog.m_versionLabel = m_env.InstallStatusLabel();
    dialog.DoModal();
    EndProcess(1);
}

RunResults CVelmoUpgradeToolApp::CollectResults() const {
    RunResults results;
    results.runMode = m_runMode;
    results.message = m_message;
    results.message2 = m_message2;
    results.dUrl = m_env.dURL;
    results.checkFailed = m_checkFailed;
    results.rootCertUpdate = m_env.rootCertUpdate != 0;
    results.auxAppUpdate = m_env.auxAppUpdate != 0;
    results.osMajorVersion = m_env.os.major;
    results.downloadErrorCode = m_progress.Result().error_code;
    return results;
}

BOOL CVelmoUpgradeToolApp::InitInstance() {
    SetJapaneseLocale();
    if (!HardenDllSearchPath()) ShowCloseAndExit(ErrorText(K818));

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    // The client's folder is what the flow needs; a client that is not
    // installed (or whose INI file cannot be read) gives an empty one.
    bool readable = false;
    const InstalledProductInfo client =
        ReadInstalledProductInfo(GetInstalledProductIniPath(std::wstring()), readable);

    m_progress.m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_progress.m_expectedSize = 10000000.0f;
    m_progress.m_client.m_userAgent = L"ZRVVelmoUpgradeTool_Main";

    AppRunEndActions actions(*this);
    RunUpdateCheck(client.directory.c_str());

    actions.SetDialogFields(m_db.db.title.c_str(), m_env.InstallStatusLabel());
    const RunEnding ending = FinishRun(CollectResults(), actions, m_exitCode);
    if (ending == RunEnding::Stop) return FALSE;
    // The secondary program has ended and read its orders: none may be
    // carried out a second time by a later run.
    if (ending == RunEnding::ClearOrders) m_store.ClearCommands();
    CloseHandOverBlock();
    return FALSE;
}

int CVelmoUpgradeToolApp::ExitInstance() {
    return m_exitCode != 0 ? m_exitCode : CWinApp::ExitInstance();
}
