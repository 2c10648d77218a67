#include "support/WindowDriver.h"

#include "win/handle.h"

namespace testing_support {
namespace {

struct Search {
    DWORD processId;
    const std::function<bool(HWND)>& matches;
    HWND found;
};

BOOL CALLBACK FindDialogWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if ((search->processId != 0 && owner != search->processId) || wcscmp(className, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    if (!search->matches(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

LRESULT CALLBACK RefuseWindow(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

HWND WaitForDialogWhere(DWORD processId, const std::function<bool(HWND)>& matches, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        Search search{processId, matches, nullptr};
        EnumWindows(&FindDialogWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            Sleep(150);  // let it finish painting
            return search.found;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND WaitForDialog(DWORD processId, int controlId, DWORD timeoutMs) {
    return WaitForDialogWhere(
        processId, [controlId](HWND dialog) { return controlId == 0 || GetDlgItem(dialog, controlId) != nullptr; },
        timeoutMs);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ControlText(HWND dialog, int controlId) { return WindowText(GetDlgItem(dialog, controlId)); }

void Click(HWND dialog, int buttonId) { PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0); }

void ClickControl(HWND dialog, int controlId) {
    const HWND control = GetDlgItem(dialog, controlId);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(control, WM_LBUTTONUP, 0, 0);
}

bool WaitUntilGone(HWND hwnd, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(hwnd)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

DialogDriver::DialogDriver(std::function<void(HWND)> drive, int controlId, DWORD processId)
    : m_thread([this, drive, controlId, processId] {
          const HWND dialog = WaitForDialog(processId, controlId);
          m_found = dialog != nullptr;
          if (dialog) drive(dialog);
      }) {}

DialogDriver::~DialogDriver() { m_thread.join(); }

void ShowAndEndAs(int result, int controlId, const std::function<void()>& show) {
    if (result == -1) {
        // While it lives, no window can be created on this thread.
        const win::WindowsHook refusal(SetWindowsHookExW(WH_CBT, RefuseWindow, nullptr, GetCurrentThreadId()));
        show();
        return;
    }
    const DialogDriver driver([result](HWND dialog) { PostMessageW(dialog, WM_COMMAND, result, 0); }, controlId);
    show();
}

}  // namespace testing_support
