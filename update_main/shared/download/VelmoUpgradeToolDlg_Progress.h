#pragma once
// The dialog under which every download runs. A worker thread fetches the
// owner's list through the dialog's HTTP client, writes each file and moves
// the progress bar; it reports the end by posted messages, and the dialog then
// ends. The owner reads Result() afterwards.
#include <atomic>
#include <memory>

#include "download/DownloadList.h"
#include "download/HttpClient.h"
#include "download/WorkerReport.h"
#include "framework/framework.h"
#include "win/handle.h"

class VelmoUpgradeToolDlg_Progress : public CDialog {
public:
    // Posted by the worker: all files done, or a file failed.
    static constexpr UINT WM_DOWNLOAD_DONE = WM_USER + 100;
    static constexpr UINT WM_DOWNLOAD_FAILED = WM_USER + 101;
    static constexpr UINT_PTR kTimeoutTimer = 1;
    static constexpr UINT kTimeoutMs = 300000;
    // How long an ending dialog waits for the worker.
    static constexpr DWORD kWorkerWaitMs = 5000;

    VelmoUpgradeToolDlg_Progress();
    // Stops the worker and waits for it: it uses this object to the end.
    ~VelmoUpgradeToolDlg_Progress() override;

    // Set by the owner before the run.
    HICON m_hIcon = nullptr;
    // Nonzero: the dialog never shows (the owner runs it created and hidden).
    int m_hidden = 0;
    float m_expectedSize = 0.0f;
    // Bytes asked for per read.
    int m_chunkSize = 1024;
    DownloadList m_list;
    // Nonzero: the time-out ends a run that takes too long.
    int m_timerSwitch = 0;
    CString m_message;
    CHttpClient m_client;

    // Read by the owner once the dialog has ended; a worker that is still
    // running then changes nothing in it.
    const DownloadResult& Result() const { return m_downloadResult; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The time-out period.
    UINT m_timeoutMs = kTimeoutMs;

private:
    void OnDownloadDone();
    void OnDownloadFailed();
    void OnWindowPosChanging(WINDOWPOS* position);
    // Ends the dialog once: no timer, no late message of the worker, at most
    // kWorkerWaitMs for the worker to end, and its report sealed.
    void Finish(int dialogResult);
    // Tells the worker to stop and makes whatever it is blocked in fail.
    void StopWorker();
    // Waits for the worker's end, at most timeoutMs, answering the messages
    // that it sends meanwhile.
    void WaitForWorker(DWORD timeoutMs);

    // The worker (DownloadWorker.cpp).
    static UINT DownloadThread(LPVOID dialog);
    UINT RunDownloads();
    bool DownloadFile(const CString& path);
    bool ReceiveBody(HANDLE file);
    bool Fail(int category, int code);
    void ShowProgress(int position);
    bool StopRequested() const { return m_stopRequested; }

    CProgressCtrl m_progress;
    // Written on the dialog's thread only; the worker's part comes through
    // m_report.
    DownloadResult m_downloadResult;
    WorkerReport m_report;
    std::unique_ptr<CWinThread> m_worker;
    win::KernelHandle m_stopEvent;
    std::atomic<bool> m_stopRequested{false};
    bool m_ended = false;
    // The worker's copies of the windows it posts to, the bar position it
    // last set, and its count of finished files.
    HWND m_window = nullptr;
    HWND m_bar = nullptr;
    int m_shownPosition = -1;
    int m_finishedCount = 0;
};
