#pragma once
// The progress dialog as the owners set it up, run modally by the tests.
#include <windows.h>

#include "download/VelmoUpgradeToolDlg_Progress.h"

namespace testing_support {

// The dialog as the owners set it up; the time-out period is the test's.
class TestProgressDialog : public VelmoUpgradeToolDlg_Progress {
public:
    explicit TestProgressDialog(UINT timeoutMs = kTimeoutMs) {
        m_timeoutMs = timeoutMs;
        m_message = L"更新情報を取得しています。";
        m_chunkSize = 1024;
        m_client.m_userAgent = L"ZRVVelmoUpgradeTool_Main";
    }
};

struct DialogRun {
    INT_PTR answer;
    DownloadResult result;
    DWORD elapsedMs;
};

// Runs the dialog modally; what it answered, its result and how long it took.
DialogRun RunVisible(TestProgressDialog& dialog);

// Returns once the workers that earlier runs stopped have ended, as the next
// request of the process would.
void AwaitStoppedWorkers();

}  // namespace testing_support
