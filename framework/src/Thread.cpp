#include "framework/Thread.h"

#include <process.h>

unsigned __stdcall CWinThread::Start(void* self) {
    auto* thread = static_cast<CWinThread*>(self);
    // Read before the thread function runs (the owner sets it while the
    // thread is suspended): an object that the owner keeps may be gone by
    // the time the function returns.
    const bool autoDelete = thread->m_bAutoDelete != FALSE;
    const AFX_THREADPROC proc = thread->m_pfnThreadProc;
    const LPVOID params = thread->m_pThreadParams;
    ::SetEvent(thread->m_started.get());
    const UINT result = proc(params);
    if (autoDelete) delete thread;
    return result;
}

CWinThread::~CWinThread() {
    if (m_resumed) ::WaitForSingleObject(m_started.get(), INFINITE);
}

DWORD CWinThread::ResumeThread() {
    // Written first: with auto-delete on, the thread may end and delete this
    // object before the call below returns, so nothing of it is touched after
    // a resume that succeeded.
    m_resumed = true;
    const DWORD count = ::ResumeThread(m_hThread);
    if (count == static_cast<DWORD>(-1)) m_resumed = false;
    return count;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    auto* thread = new CWinThread(proc, param);
    thread->m_started.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!thread->m_started) {
        delete thread;
        return nullptr;
    }
    unsigned id = 0;
    // Always created suspended, so the priority is set before it runs.
    const uintptr_t handle =
        _beginthreadex(security, stackSize, &CWinThread::Start, thread, CREATE_SUSPENDED, &id);
    if (!handle) {
        delete thread;
        return nullptr;
    }
    thread->m_ownedThread.reset(reinterpret_cast<HANDLE>(handle));
    thread->m_hThread = thread->m_ownedThread.get();
    thread->m_nThreadID = id;
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}
