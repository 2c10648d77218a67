#include "framework/Thread.h"

#include <process.h>

unsigned __stdcall CWinThread::Start(void* self) {
    auto* thread = static_cast<CWinThread*>(self);
    // Read before the thread function runs (the owner sets it while the
    // thread is suspended): an object that the owner keeps may be gone by
    // the time the function returns.
    const bool autoDelete = thread->m_bAutoDelete != FALSE;
    const UINT result = thread->m_pfnThreadProc(thread->m_pThreadParams);
    if (autoDelete) delete thread;
    return result;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    auto* thread = new CWinThread(proc, param);
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
