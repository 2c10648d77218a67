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

// ResumeThread that returns only once the thread has ended, and its object,
// deleted meanwhile, has made room for blocks that show any later write.
struct LateResume {
    static DWORD WINAPI Resume(HANDLE thread) {
        const DWORD count = reinterpret_cast<DWORD(WINAPI*)(HANDLE)>(s_patch->original)(thread);
        WaitForSingleObject(s_ended, 5000);
        for (auto& block : s_freed) {
            block.reset(new char[sizeof(CWinThread)]);
            std::memset(block.get(), 0xFF, sizeof(CWinThread));
        }
        return count;
    }
    static ImportPatch* s_patch;
    static HANDLE s_ended;
    static std::vector<std::unique_ptr<char[]>> s_freed;
};
ImportPatch* LateResume::s_patch = nullptr;
HANDLE LateResume::s_ended = nullptr;
std::vector<std::unique_ptr<char[]>> LateResume::s_freed(4096);

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
    ImportPatch patch("ResumeThread", reinterpret_cast<void*>(&LateResume::Resume));
    ASSERT_NE(patch.original, nullptr) << "ResumeThread is not imported by this program";
    LateResume::s_patch = &patch;
    LateResume::s_ended = own;
    EXPECT_NE(thread->ResumeThread(), static_cast<DWORD>(-1));
    ASSERT_EQ(WaitForSingleObject(own, 0), WAIT_OBJECT_0);
    for (const auto& block : LateResume::s_freed)
        for (size_t i = 0; i < sizeof(CWinThread); ++i) ASSERT_EQ(static_cast<BYTE>(block[i]), 0xFF) << i;
}
