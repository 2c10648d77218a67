// The application's side of the update check: the real actions behind the
// flow, the downloads under the progress dialog and the start of the
// secondary program.
#include "startup/VelmoUpgradeToolApp.h"

#include <shellapi.h>

#include "allowlist/AllowedUrlListUpdater.h"
#include "auxapp/AuxAppUpdate.h"
#include "client/InstalledProductInfo.h"
#include "commandline/RunMode.h"
#include "dialogs/MessageDialogs.h"
#include "flow/DownloadOutcome.h"
#include "flow/SubCommand.h"
#include "flow/UpdateCheckFlow.h"
#include "handover/HandOverBlock.h"
#include "messages/UserMessages.h"
#include "process/ProcessExit.h"
#include "process/ProcessWait.h"
#include "res/resource.h"
#include "rootcerts/RootCertPackage.h"
#include "selfcheck/InstallationCheck.h"
#include "win/handle.h"

namespace {

constexpr float kUpdateFilesExpectedSize = 10000.0f;

class AppUpdateFlowActions : public UpdateFlowActions {
public:
    explicit AppUpdateFlowActions(CVelmoUpgradeToolApp& app) : m_app(app) {}

    bool CreateHandOverBlock() override { return ::CreateHandOverBlock(); }
    void ReadInstalledVersion(EnvironmentInfo& env) override { env.ReadInstalledVersion(); }
    bool CheckInstallation(CString& message, bool ownsOrders) override {
        return InstallationCheck().CheckInstallation(message, ownsOrders);
    }
    BOOL ReadOsVersion(EnvironmentInfo& env) override { return env.ReadOsVersion(); }
    bool DownloadAll(CString& message, const DownloadList& list) override {
        return m_app.DownloadAll(g_calledService, message, PROGRESS_STATUS_TEXT, list, kUpdateFilesExpectedSize);
    }
    bool UpdateRootCertPackage(bool& newer, CString& message, const wchar_t* installDir) override {
        int packageNewer = 0;
        const int usable = ::UpdateRootCertPackage(m_app.m_store.BaseFolder(), packageNewer, message, installDir);
        newer = packageNewer != 0;
        return usable != 0;
    }
    AuxAppVersionInfo GetAuxAppVersionInfo(const std::wstring& updateListPath) override {
        return ::GetAuxAppVersionInfo(updateListPath);
    }
    void MergeAllowedUrls() override {
        bool clientFound = false;
        ReadInstalledProductInfo(GetInstalledProductIniPath(std::wstring()), clientFound);
        if (!clientFound) return;
        // A merge that fails leaves the installed list deleted, so the next
        // run merges again; it never fails this run.
        try {
            AllowedUrlListUpdater().Run();
        } catch (...) {
        }
    }
    void OrdersWritten() override {
        CUpdateDataStore& store = m_app.m_store;
        SetExitCleanup([&store] { store.ClearCommands(); });
    }
    void ShowSmallCloseAndExit(const CString& message) override { ::ShowSmallCloseAndExit(message); }
    void ShowCloseAndExit(const CString& message) override { m_app.ShowCloseAndExit(message); }
    void EndProcess(int exitCode) override { ::EndProcess(exitCode); }

private:
    CVelmoUpgradeToolApp& m_app;
};

}  // namespace

void CVelmoUpgradeToolApp::RunUpdateCheck(const wchar_t* installDir) {
    ParseCommandLine();
    UpdateCheckState state{m_env, m_db, m_store, m_message, m_message2, m_runMode, g_calledService};
    AppUpdateFlowActions actions(*this);
    m_checkFailed = !UpdateCheckFlow(state, actions, StandardUpdatePaths()).Run(installDir);
}

bool CVelmoUpgradeToolApp::DownloadAll(bool hidden, CString& message, const CString& status,
                                       const DownloadList& list, float expectedSize) {
    if (&list != &m_progress.m_list) m_progress.m_list = list;
    m_progress.m_timerSwitch = 1;
    m_progress.m_message = status;
    m_progress.m_chunkSize = 1024;
    m_progress.m_expectedSize = expectedSize;

    INT_PTR result = -1;
    if (!hidden) {
        m_progress.m_hidden = 0;
        result = m_progress.DoModal();
    } else {
        // A silent run shows nothing, but the dialog still carries the
        // worker and its messages.
        m_progress.m_hidden = 1;
        if (m_progress.Create(IDD_PROGRESS)) {
            m_progress.ShowWindow(SW_HIDE);
            result = m_progress.RunModalLoop(MLF_NOKICKIDLE);
            m_progress.DestroyWindow();
        }
    }
    if (DownloadSucceeded(result, m_progress.Result())) return true;
    message = DownloadFailureText(m_progress.Result());
    return false;
}

BOOL CVelmoUpgradeToolApp::RunSubCommand(int isAdmin) {
    const CommandLineParts command = MakeSubCommandLine(m_store.GetSubCommand(), m_runMode);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    // Without administrator rights Windows asks for them; an administrator
    // runs it as is.
    info.lpVerb = isAdmin == 0 ? L"runas" : L"";
    info.lpFile = command.program;
    info.lpParameters = command.options.IsEmpty() ? nullptr : command.options.GetString();
    info.nShow = SW_SHOWNORMAL;
    const BOOL started = ::ShellExecuteExW(&info);
    // The orders stay in the exchange file until the secondary program has
    // read them, so wait for it however long it takes, answering our own
    // windows meanwhile.
    win::KernelHandle process(info.hProcess);
    if (process) WaitPumpingMessages(process.get());
    return started;
}
