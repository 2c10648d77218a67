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

// Blocks of a thread object's size, filled with 0xFF: they take the room of
// the objects freed just before, so that a later read of a freed object finds
// nonsense there, and a later write to one shows.
std::vector<std::unique_ptr<char[]>> FillFreedRoom() {
    std::vector<std::unique_ptr<char[]>> blocks(4096);
    for (auto& block : blocks) {
        block.reset(new char[sizeof(CWinThread)]);
        std::memset(block.get(), 0xFF, sizeof(CWinThread));
    }
    return blocks;
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
    const auto filler = FillFreedRoom();

    SetEvent(release.get());
    ASSERT_EQ(WaitForSingleObject(running.get(), 5000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeThread(running.get(), &exitCode));
    EXPECT_EQ(exitCode, 7u);
}

namespace {

// Points this program's import of a kernel32 function elsewhere while it
// lives: a way to run code between a system call and the caller's next step.
class ImportPatch {
public:
    ImportPatch(const char* name, void* replacement) {
        const auto base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const auto target = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
        for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name; ++module)
            for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); entry->u1.Function;
                 ++entry)
                if (entry->u1.Function == target) m_slot = reinterpret_cast<ULONG_PTR*>(&entry->u1.Function);
        if (!m_slot) return;
        original = reinterpret_cast<void*>(*m_slot);
        Write(reinterpret_cast<ULONG_PTR>(replacement));
    }
    ~ImportPatch() {
        if (m_slot) Write(reinterpret_cast<ULONG_PTR>(original));
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    void* original = nullptr;

private:
    void Write(ULONG_PTR value) {
        DWORD was = 0;
        VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &was);
        *m_slot = value;
        VirtualProtect(m_slot, sizeof *m_slot, was, &was);
    }
    ULONG_PTR* m_slot = nullptr;
};

DWORD(WINAPI* g_resume)(HANDLE) = nullptr;
HANDLE g_ended = nullptr;
std::vector<std::unique_ptr<char[]>> g_freedRoom;

// ResumeThread that returns only once the thread has ended, and its object,
// deleted meanwhile, has made room for blocks that show any later write.
DWORD WINAPI LateResume(HANDLE thread) {
    const DWORD count = g_resume(thread);
    WaitForSingleObject(g_ended, 5000);
    g_freedRoom = FillFreedRoom();
    return count;
}

}  // namespace

// With auto-delete on, the thread may end and delete its object before
// ResumeThread has returned: ResumeThread must not write to it then.
TEST(WorkerThread, AnAutoDeleteThreadMayEndBeforeResumeReturns) {
    auto* thread = AfxBeginThread(&CountRun, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    HANDLE own = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &own, SYNCHRONIZE,
                                FALSE, 0));
    const win::KernelHandle ended(own);
    ImportPatch patch("ResumeThread", reinterpret_cast<void*>(&LateResume));
    ASSERT_NE(patch.original, nullptr) << "ResumeThread is not imported by this program";
    g_resume = reinterpret_cast<DWORD(WINAPI*)(HANDLE)>(patch.original);
    g_ended = own;
    EXPECT_NE(thread->ResumeThread(), static_cast<DWORD>(-1));
    ASSERT_EQ(WaitForSingleObject(own, 0), WAIT_OBJECT_0);
    for (const auto& block : g_freedRoom)
        for (size_t i = 0; i < sizeof(CWinThread); ++i) ASSERT_EQ(static_cast<BYTE>(block[i]), 0xFF) << i;
}
