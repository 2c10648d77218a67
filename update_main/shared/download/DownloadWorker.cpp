#include "download/DownloadWorker.h"

#include <algorithm>
#include <cmath>
#include <commctrl.h>
#include <memory>
#include <vector>

#include "download/AdaptiveReadSize.h"

namespace {

// A pause that lets the user see the full bar before the dialog closes.
constexpr DWORD kFullBarPauseMs = 1000;
// The most that one read asks for; memory for it is taken only when a fast
// link calls for it.
constexpr DWORD kMostPerRead = 1024 * 1024;

}  // namespace

DownloadWorker::DownloadWorker() : m_stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

UINT DownloadWorker::Thread(LPVOID job) {
    const std::unique_ptr<std::shared_ptr<DownloadWorker>> worker(static_cast<std::shared_ptr<DownloadWorker>*>(job));
    return (*worker)->Run();
}

void DownloadWorker::Stop() {
    m_stopRequested = true;
    ::SetEvent(m_stopEvent.get());
    m_dialogs.Stop();
    m_client.Close();
}

UINT DownloadWorker::Run() {
    const WorkerDialogs::Watch watch(m_dialogs);
    for (const DownloadItem& item : m_list) {
        if (StopRequested()) return 0;
        m_client.m_url = item.url;
        if (!DownloadFile(item.path)) {
            m_report.Post(m_window, WM_DOWNLOAD_FAILED);
            return 0;
        }
        if (StopRequested()) return 0;
        m_report.Finished(++m_finishedCount);
    }
    if (::WaitForSingleObject(m_stopEvent.get(), kFullBarPauseMs) == WAIT_OBJECT_0) return 0;
    ShowProgress(100);
    m_report.Post(m_window, WM_DOWNLOAD_DONE);
    return 1;
}

bool DownloadWorker::Fail(int category, int code) {
    m_report.Failed(category, code);
    return false;
}

bool DownloadWorker::DownloadFile(const CString& path) {
    // The previous copy goes first, so that a failed download leaves no file.
    ::DeleteFileW(path);
    const int sent = m_client.SendRequest();
    m_expectedSize = static_cast<float>(m_client.ContentLength());
    if (sent == CHttpClient::kProxyGivenUp) return Fail(DOWNLOAD_NO_ERROR, sent);
    if (sent != ERROR_SUCCESS) return Fail(DOWNLOAD_REQUEST_FAILED, sent);

    win::FileHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Fail(DOWNLOAD_READ_FAILED, static_cast<int>(::GetLastError()));
    if (ReceiveBody(file.get())) return true;
    // Whatever arrived is not the file: it must not pass for it.
    file.reset();
    ::DeleteFileW(path);
    return false;
}

bool DownloadWorker::ReceiveBody(HANDLE file) {
    const size_t count = m_list.size();
    const double perFile = 100.0 / static_cast<double>(count);
    const double done = m_finishedCount * perFile;
    const DWORD expected = m_client.ContentLength();
    AdaptiveReadSize readSize(static_cast<DWORD>(std::max(m_chunkSize, 1)), kMostPerRead);
    std::vector<BYTE> buffer;
    unsigned long long received = 0;
    for (;;) {
        buffer.resize(std::max<size_t>(buffer.size(), readSize.size()));
        DWORD read = 0;
        const DWORD started = ::GetTickCount();
        if (!::InternetReadFile(m_client.Request(), buffer.data(), readSize.size(), &read))
            return Fail(DOWNLOAD_READ_FAILED, static_cast<int>(::GetLastError()));
        readSize.Update(read, ::GetTickCount() - started);
        if (read == 0) break;
        received += read;
        DWORD written = 0;
        if (!::WriteFile(file, buffer.data(), read, &written, nullptr) || written != read)
            return Fail(DOWNLOAD_READ_FAILED, static_cast<int>(::GetLastError()));
        if (m_expectedSize > 0) {
            const double position = static_cast<double>(received) / m_expectedSize * perFile + done;
            if (position <= 100.0) ShowProgress(static_cast<int>(position));
        }
    }
    // The connection ended before the body did.
    if (received < expected) return Fail(DOWNLOAD_READ_FAILED, ERROR_INTERNET_CONNECTION_ABORTED);
    ShowProgress(static_cast<int>(std::floor((m_finishedCount + 1) * perFile)));
    return true;
}

void DownloadWorker::ShowProgress(int position) {
    // Posted, and only when the bar moves: the worker never waits for the
    // dialog, and a large file does not flood its queue.
    if (position == m_shownPosition) return;
    m_shownPosition = position;
    m_report.Post(m_bar, PBM_SETPOS, static_cast<WPARAM>(position));
}
