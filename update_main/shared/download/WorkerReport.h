#pragma once
// What the download worker has found, handed to the dialog's thread under a
// lock, and the messages it posts to the dialog's windows. The dialog seals it
// when it ends: its wait for the worker is bounded, and a worker that outlives
// the wait may still report, but nothing that the owner reads changes after
// the dialog has ended, and nothing is posted to windows that are gone (their
// handles may by then name other windows).
#include <windows.h>

#include <mutex>

#include "download/DownloadList.h"

class WorkerReport {
public:
    // Worker side: the files finished so far, and the failure that ended the
    // run.
    void Finished(int count) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_sealed) m_finishedCount = count;
    }
    void Failed(int category, int code) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_sealed) return;
        m_errorCategory = category;
        m_errorCode = code;
    }

    // Posts to a window of the dialog while it has not ended.
    void Post(HWND window, UINT message, WPARAM wParam = 0) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_sealed) ::PostMessageW(window, message, wParam, 0);
    }

    // Dialog side, once: copies the report into the owner's result and drops
    // every later one.
    void SealInto(DownloadResult& result) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_sealed = true;
        result.finished_count = m_finishedCount;
        result.error_category = m_errorCategory;
        result.error_code = m_errorCode;
    }

private:
    std::mutex m_lock;
    bool m_sealed = false;
    int m_finishedCount = 0;
    int m_errorCategory = DOWNLOAD_NO_ERROR;
    int m_errorCode = 0;
};
