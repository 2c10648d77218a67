#include "download/VelmoUpgradeToolDlg_Progress.h"

#include "download/StoppedWorkers.h"
#include "res/resource.h"

VelmoUpgradeToolDlg_Progress::VelmoUpgradeToolDlg_Progress()
    : CDialog(IDD_PROGRESS), m_job(std::make_shared<DownloadWorker>()), m_client(m_job->m_client) {}

VelmoUpgradeToolDlg_Progress::~VelmoUpgradeToolDlg_Progress() { LetGoOfWorker(); }

void VelmoUpgradeToolDlg_Progress::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    DDX_Text(dx, IDC_MESSAGE, m_message);
}

BOOL VelmoUpgradeToolDlg_Progress::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_timerSwitch) SetTimer(kTimeoutTimer, m_timeoutMs);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_progress.SetRange32(0, 100);
    m_downloadResult.result = DOWNLOAD_DONE;

    // What the worker needs of the dialog is handed over before it starts.
    m_job->m_list = m_list;
    m_job->m_chunkSize = m_chunkSize;
    m_job->m_window = m_hWnd;
    m_job->m_bar = m_progress.m_hWnd;
    m_client.m_ownerWindow = m_hWnd;
    m_client.m_silent = m_hidden != 0;
    auto* shared = new std::shared_ptr<DownloadWorker>(m_job);
    m_worker.reset(AfxBeginThread(&DownloadWorker::Thread, shared, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!m_worker) {
        const int error = static_cast<int>(::GetLastError());
        delete shared;
        m_job->m_report.Failed(DOWNLOAD_REQUEST_FAILED, error);
        PostMessage(WM_DOWNLOAD_FAILED);
        return TRUE;
    }
    m_worker->m_bAutoDelete = FALSE;
    m_worker->ResumeThread();
    return TRUE;
}

bool VelmoUpgradeToolDlg_Progress::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_DOWNLOAD_DONE:
        OnDownloadDone();
        *result = 0;
        return true;
    case WM_DOWNLOAD_FAILED:
        OnDownloadFailed();
        *result = 0;
        return true;
    case WM_DESTROY:
        LetGoOfWorker();
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return false;  // and the default handling with the changed flags
    default:
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }
}

void VelmoUpgradeToolDlg_Progress::OnDownloadDone() {
    if (m_ended) return;
    m_client.Close();
    // The worker reports done only when no file failed: its report holds no
    // error.
    m_downloadResult.result = DOWNLOAD_DONE;
    Finish(IDOK);
}

void VelmoUpgradeToolDlg_Progress::OnDownloadFailed() {
    if (m_ended) return;
    m_client.Close();
    m_downloadResult.result = DOWNLOAD_FAILED;
    Finish(IDCANCEL);
}

void VelmoUpgradeToolDlg_Progress::OnCancel() {
    if (m_ended) return;
    m_downloadResult.cancelled = 1;
    StopWorker();
    Finish(IDCANCEL);
}

void VelmoUpgradeToolDlg_Progress::OnTimer(UINT_PTR id) {
    if (id == kTimeoutTimer && !m_ended) {
        m_downloadResult.result = DOWNLOAD_TIMED_OUT;
        OnCancel();
    }
    CDialog::OnTimer(id);
}

void VelmoUpgradeToolDlg_Progress::OnWindowPosChanging(WINDOWPOS* position) {
    if (m_hidden) position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
}

void VelmoUpgradeToolDlg_Progress::Finish(int dialogResult) {
    m_ended = true;
    KillTimer(kTimeoutTimer);
    WaitForWorker(m_workerWaitMs);
    m_job->m_report.SealInto(m_downloadResult);
    EndDialog(dialogResult);
}

void VelmoUpgradeToolDlg_Progress::LetGoOfWorker() {
    if (!m_worker || m_ended) return;
    m_ended = true;
    // Sealed before the stop, which may make the worker report at once.
    m_job->m_report.SealInto(m_downloadResult);
    StopWorker();
}

void VelmoUpgradeToolDlg_Progress::StopWorker() {
    // Counted before its handles are closed: it may be passing one to a call.
    if (m_worker) AddStoppedWorker(m_worker->m_hThread);
    m_job->Stop();
}

void VelmoUpgradeToolDlg_Progress::WaitForWorker(DWORD timeoutMs) {
    if (!m_worker) return;
    const HANDLE thread = m_worker->m_hThread;
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < timeoutMs; elapsed = ::GetTickCount() - start) {
        // Only sent messages are answered here (a dialog of the worker that
        // this window owns sends some); posted ones wait for the loop.
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
