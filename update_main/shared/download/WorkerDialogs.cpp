#include "download/WorkerDialogs.h"

#include <algorithm>

namespace {

// The dialogs watched on this thread: a hook procedure has no context.
thread_local WorkerDialogs* t_watched = nullptr;

bool IsDialog(HWND window) {
    wchar_t className[8] = {};
    ::GetClassNameW(window, className, 8);
    return wcscmp(className, L"#32770") == 0;
}

}  // namespace

WorkerDialogs::Watch::Watch(WorkerDialogs& dialogs) {
    t_watched = &dialogs;
    m_hook.reset(::SetWindowsHookExW(WH_CBT, &WorkerDialogs::OnCbt, nullptr, ::GetCurrentThreadId()));
}

WorkerDialogs::Watch::~Watch() {
    m_hook.reset();
    t_watched = nullptr;
}

LRESULT CALLBACK WorkerDialogs::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    // A window refused here is destroyed before it is shown, and the call
    // that made it for a dialog fails.
    if (code == HCBT_CREATEWND && t_watched && IsDialog(window) && !t_watched->Made(window)) return 1;
    if (code == HCBT_DESTROYWND && t_watched) t_watched->Gone(window);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool WorkerDialogs::Made(HWND dialog) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_stopped) return false;
    m_open.push_back(dialog);
    return true;
}

void WorkerDialogs::Gone(HWND window) {
    // Dropped at once: its handle may soon name another window.
    std::lock_guard<std::mutex> lock(m_lock);
    m_open.erase(std::remove(m_open.begin(), m_open.end(), window), m_open.end());
}

void WorkerDialogs::Stop() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_stopped = true;
    // Posted, so that a dialog still being made takes it once it runs.
    for (const HWND dialog : m_open) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}
