#pragma once
// The dialog under which every download runs. A worker thread fetches the
// owner's list through the dialog's HTTP client, writes each file and moves
// the progress bar; it reports the end by posted messages, and the dialog then
// ends. The owner reads Result() afterwards.
#include <memory>

#include "download/DownloadList.h"
#include "download/DownloadWorker.h"
#include "download/HttpClient.h"
#include "framework/framework.h"

class VelmoUpgradeToolDlg_Progress : public CDialog {
    // What the worker's thread touches, shared with it: made first, as
    // m_client is the worker's.
    const std::shared_ptr<DownloadWorker> m_job;

public:
    // Posted by the worker: all files done, or a file failed.
    static constexpr UINT WM_DOWNLOAD_DONE = DownloadWorker::WM_DOWNLOAD_DONE;
    static constexpr UINT WM_DOWNLOAD_FAILED = DownloadWorker::WM_DOWNLOAD_FAILED;
    static constexpr UINT_PTR kTimeoutTimer = 1;
    static constexpr UINT kTimeoutMs = 300000;
    // How long an ending dialog waits for the worker.
    static constexpr DWORD kWorkerWaitMs = 5000;

    VelmoUpgradeToolDlg_Progress();
    // Stops a worker that still runs without waiting for it (it keeps what it
    // uses), as when the window goes.
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
    // The worker's client: the owner sets its user agent.
    CHttpClient& m_client;

    // Read by the owner once the dialog has ended; a worker that is still
    // running then changes nothing in it.
    const DownloadResult& Result() const { return m_downloadResult; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The time-out period, and how long an ending dialog waits for the
    // worker.
    UINT m_timeoutMs = kTimeoutMs;
    DWORD m_workerWaitMs = kWorkerWaitMs;

private:
    void OnDownloadDone();
    void OnDownloadFailed();
    void OnWindowPosChanging(WINDOWPOS* position);
    // Ends the dialog once: no timer, no late message of the worker, at most
    // m_workerWaitMs for the worker to end, and its report sealed.
    void Finish(int dialogResult);
    // Tells the worker to stop, makes whatever it is blocked in fail, and
    // ends its dialogs.
    void StopWorker();
    // Waits for the worker's end, at most timeoutMs, answering the messages
    // that it sends meanwhile.
    void WaitForWorker(DWORD timeoutMs);
    // The window or this object is going before the dialog has ended: the
    // worker's report is sealed, so that the worker posts nothing more to
    // windows whose handles may by then be others', and the worker stops.
    void LetGoOfWorker();

    CProgressCtrl m_progress;
    // Written on the dialog's thread only; the worker's part comes through
    // its report.
    DownloadResult m_downloadResult;
    // The thread object, for the waits; the thread itself does not touch it.
    std::unique_ptr<CWinThread> m_worker;
    bool m_ended = false;
};
