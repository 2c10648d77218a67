#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

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

namespace {
UINT WaitForEvent(LPVOID event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 7;
}
}  // namespace

// An owner that keeps the thread object may let it go while the thread still
// runs: the thread does not touch the object once its function has started.
// The freed memory is filled at once, so that a thread that still read the
// object would find nonsense there.
TEST(WorkerThread, ItsObjectMayGoWhileTheThreadRuns) {
    const win::KernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto* thread = AfxBeginThread(&WaitForEvent, release.get(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    HANDLE own = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &own,
                                SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0));
    const win::KernelHandle running(own);
    thread->ResumeThread();
    Sleep(50);
    delete thread;
    std::vector<std::unique_ptr<char[]>> filler;
    for (int i = 0; i < 4096; ++i) {
        filler.emplace_back(new char[sizeof(CWinThread)]);
        std::memset(filler.back().get(), 0xFF, sizeof(CWinThread));
    }

    SetEvent(release.get());
    ASSERT_EQ(WaitForSingleObject(running.get(), 5000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeThread(running.get(), &exitCode));
    EXPECT_EQ(exitCode, 7u);
}
