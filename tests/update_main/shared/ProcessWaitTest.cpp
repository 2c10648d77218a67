// Waiting for the secondary program must keep this thread's windows
// answering: another thread (or process) that sends to one of them would
// otherwise wait on us while we wait on it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "process/ProcessWait.h"
#include "win/handle.h"

TEST(WaitPumpingMessages, AnswersSentMessagesWhileWaiting) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    win::KernelHandle ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> answered{false};
    // Stands for the other program: it needs an answer from our window
    // before it can end.
    std::thread other([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        SetEvent(ended.get());
    });
    EXPECT_EQ(WaitPumpingMessages(ended.get()), WAIT_OBJECT_0);
    other.join();
    EXPECT_TRUE(answered);
    DestroyWindow(window);
}

TEST(WaitPumpingMessages, ReturnsAtOnceForAnEndedProcess) {
    win::KernelHandle ended(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_EQ(WaitPumpingMessages(ended.get()), WAIT_OBJECT_0);
}
