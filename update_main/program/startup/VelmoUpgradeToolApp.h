#pragma once
// The main update program: one application object whose InitInstance runs
// the whole update check and whose ExitInstance gives the exit code.
#include "download/VelmoUpgradeToolDlg_Progress.h"
#include "ending/RunOutcome.h"
#include "environment/EnvironmentInfo.h"
#include "framework/framework.h"
#include "process/ProcessFlags.h"
#include "rules/UpdateDatabase.h"
#include "settings/UpdateDataStore.h"

class CVelmoUpgradeToolApp : public CWinApp {
public:
    CVelmoUpgradeToolApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Reads the process command line into the run mode and g_calledService.
    bool ParseCommandLine();
    // Shows the closing dialog with the message, then ends the process
    // however the dialog ended, also when it could not be shown.
    [[noreturn]] void ShowCloseAndExit(const CString& message);

    // The update check from the single-instance block to the orders in the
    // exchange file; leaves its results in the members below.
    void RunUpdateCheck(const wchar_t* installDir);
    // Fetches the list under the progress dialog (kept hidden when asked);
    // true when every file arrived, else false with the text of the failure
    // in message.
    bool DownloadAll(bool hidden, CString& message, const CString& status, const DownloadList& list,
                     float expectedSize);
    // Starts the secondary program (elevated unless isAdmin) and waits for it
    // to end; nonzero when it started.
    BOOL RunSubCommand(int isAdmin);

    EnvironmentInfo m_env;
    UpdateDatabase m_db;
    CUpdateDataStore m_store;
    CString m_message;
    CString m_message2;
    int m_argc = 0;
    int m_exitCode = 0;
    int m_runMode = 0;
    // Carries every download; its result tells the flow what failed.
    VelmoUpgradeToolDlg_Progress m_progress;
    // The update check stopped on an error of its own (its text is in
    // m_message, where the rules' texts go too).
    bool m_checkFailed = false;

private:
    RunResults CollectResults() const;
};
