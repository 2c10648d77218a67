#pragma once
// The progress dialog's worker: fetches the list front to back through its
// HTTP client, writes each file and moves the bar, and tells the dialog of
// the end by posted messages. The dialog and the worker's thread share it, so
// that whatever the thread touches lives until the thread has ended, even when
// the dialog goes first (its wait for the worker is bounded).
#include <windows.h>

#include <atomic>

#include "download/DownloadList.h"
#include "download/HttpClient.h"
#include "download/WorkerDialogs.h"
#include "download/WorkerReport.h"
#include "win/handle.h"

class DownloadWorker {
public:
    // Posted to the dialog: all files done, or a file failed.
    static constexpr UINT WM_DOWNLOAD_DONE = WM_USER + 100;
    static constexpr UINT WM_DOWNLOAD_FAILED = WM_USER + 101;

    DownloadWorker();
    DownloadWorker(const DownloadWorker&) = delete;
    DownloadWorker& operator=(const DownloadWorker&) = delete;

    // The thread function. `job` is a new std::shared_ptr<DownloadWorker>,
    // which the thread deletes as it ends.
    static UINT Thread(LPVOID job);
    // From the dialog's thread: the worker stops at the next step, the
    // request it is blocked in fails, and its dialogs end, now and later.
    void Stop();

    // Set by the dialog before the thread starts.
    DownloadList m_list;
    int m_chunkSize = 1024;
    HWND m_window = nullptr;
    HWND m_bar = nullptr;

    CHttpClient m_client;
    WorkerReport m_report;

private:
    UINT Run();
    bool StopRequested() const { return m_stopRequested; }
    bool DownloadFile(const CString& path);
    bool ReceiveBody(HANDLE file);
    bool Fail(int category, int code);
    void ShowProgress(int position);

    win::KernelHandle m_stopEvent;
    WorkerDialogs m_dialogs;
    std::atomic<bool> m_stopRequested{false};
    // Content-Length of the file being fetched.
    float m_expectedSize = 0.0f;
    // The bar position last set, and the count of finished files.
    int m_shownPosition = -1;
    int m_finishedCount = 0;
};
