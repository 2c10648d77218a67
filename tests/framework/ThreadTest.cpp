#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "framework/Thread.h"

namespace {
std::atomic<int> g_runs{0};

UINT CountRun(LPVOID param) {
    ++g_runs;
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(param));
}
}  // namespace

TEST(WorkerThread, SuspendedThreadWaitsForResumeAndKeepsItsObject) {
    g_runs = 0;
    std::unique_ptr<CWinThread> thread(
        AfxBeginThread(&CountRun, reinterpret_cast<LPVOID>(42), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    Sleep(100);
    EXPECT_EQ(g_runs, 0);

    thread->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeThread(thread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 42u);
    EXPECT_EQ(g_runs, 1);
}
