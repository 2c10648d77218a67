#pragma once
// Worker threads. A thread object started with auto-delete off belongs to its
// owner, who may wait on m_hThread and delete it at any time, even while the
// thread runs on (the thread itself no longer touches it once its function
// has started); with auto-delete on, the object deletes itself when the
// thread function returns. Auto-delete is read as the thread starts.
#include <windows.h>

#include "win/handle.h"

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}
    // Waits, if the thread was resumed, until it has read what it needs of
    // this object: an owner may delete it right after ResumeThread.
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // With auto-delete on, the object may be gone once this has returned.
    DWORD ResumeThread();

    // Valid while the object lives; closed with it.
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static unsigned __stdcall Start(void* self);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    win::KernelHandle m_ownedThread;
    // Set by the thread once it no longer reads this object before its
    // function has returned.
    win::KernelHandle m_started;
    bool m_resumed = false;
};

// Starts `proc(param)` on a new thread; with CREATE_SUSPENDED it waits for
// ResumeThread, so the caller can set m_bAutoDelete first. Null on failure.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
