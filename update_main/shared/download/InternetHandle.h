#pragma once
// Owner of one WinINet handle that two threads share: the download worker
// opens and uses it, and a cancel on the user-interface thread closes it so
// that a blocked call of the worker fails at once. Taking the handle out is
// an atomic exchange, so whichever thread closes it first does, and the other
// finds it cleared.
#include <windows.h>
#include <wininet.h>

#include <atomic>

class InternetHandle {
public:
    InternetHandle() = default;
    ~InternetHandle() { reset(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return m_handle.load(); }
    explicit operator bool() const { return get() != nullptr; }

    // Closes the held handle, if any, and keeps `handle` instead.
    void reset(HINTERNET handle = nullptr) {
        if (const HINTERNET old = m_handle.exchange(handle)) ::InternetCloseHandle(old);
    }

private:
    std::atomic<HINTERNET> m_handle{nullptr};
};
