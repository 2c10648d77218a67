#pragma once
// The dialogs that a download worker opens on its thread (the proxy dialog,
// the system's certificate-error dialog), watched through a hook on that
// thread so that a stop leaves none of them behind: the stop cancels those
// already made, and any made after it is refused. The two take one lock, so
// a dialog is either made before the stop and cancelled by it, or refused. A
// search of the thread's windows would not do: Wine lists a new window only
// some milliseconds after it has been made.
#include <windows.h>

#include <mutex>
#include <vector>

#include "win/handle.h"

class WorkerDialogs {
public:
    WorkerDialogs() = default;
    WorkerDialogs(const WorkerDialogs&) = delete;
    WorkerDialogs& operator=(const WorkerDialogs&) = delete;

    // Watches the dialogs of the calling thread while it lives.
    class Watch {
    public:
        explicit Watch(WorkerDialogs& dialogs);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        win::WindowsHook m_hook;
    };

    // From any thread: cancels the dialogs open now, as their cancel button
    // would, and refuses every later one.
    void Stop();

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    // False when the dialog is refused.
    bool Made(HWND dialog);
    void Gone(HWND window);

    std::mutex m_lock;
    bool m_stopped = false;
    std::vector<HWND> m_open;
};
