#include "process/ProcessWait.h"

DWORD WaitPumpingMessages(HANDLE process) {
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) return woken;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // A WM_QUIT is not ours to eat: leave it for the loop that owns it.
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return ::WaitForSingleObject(process, INFINITE);
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
