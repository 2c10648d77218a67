#pragma once
// Finding and driving the dialogs that the code under test shows, from
// another thread or process, the way a user would.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace testing_support {

// The first visible dialog window of the process (0: of any process) that has
// a control with `controlId` (0: any), waited for up to `timeoutMs`; null when
// none came.
HWND WaitForDialog(DWORD processId, int controlId = 0, DWORD timeoutMs = 10000);
// The same for the first one that `matches`.
HWND WaitForDialogWhere(DWORD processId, const std::function<bool(HWND)>& matches, DWORD timeoutMs = 10000);
std::wstring WindowText(HWND hwnd);
std::wstring ControlText(HWND dialog, int controlId);
// Presses a button as a click would.
void Click(HWND dialog, int buttonId);
// Presses and lets go the left mouse button on a control that is no button
// (the link); returns once the control has handled both.
void ClickControl(HWND dialog, int controlId);
// True while the window exists, waited for up to `timeoutMs`.
bool WaitUntilGone(HWND hwnd, DWORD timeoutMs = 10000);

// Runs `drive` on its own thread with the dialog that appears in the process
// (by default this one), and joins it on destruction.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> drive, int controlId = 0, DWORD processId = GetCurrentProcessId());
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    // False when no dialog appeared in time.
    bool found() const { return m_found; }

private:
    std::thread m_thread;
    bool m_found = false;
};

// Runs `show`, which shows a dialog of this process that has a control with
// `controlId`, and ends that dialog with `result` as a command would (its
// close button gives IDCANCEL, Enter IDOK). With -1 no dialog is shown at
// all: every window of this thread is refused while `show` runs, as on a
// desktop that cannot show one, and DialogBox gives -1.
void ShowAndEndAs(int result, int controlId, const std::function<void()>& show);

// Saves what the screen shows of the window as <artifacts>/screenshots/NAME.png.
bool SaveScreenshot(HWND hwnd, const std::wstring& name);

}  // namespace testing_support
