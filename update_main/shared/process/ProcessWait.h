#pragma once
// Waiting for another process on a thread that owns windows.
#include <windows.h>

// Waits without a time limit for the process to end while dispatching this
// thread's messages, so that a window of ours (a hidden dialog, or one the
// other process sends to) keeps answering and cannot deadlock the wait.
// WAIT_OBJECT_0 when the process ended; WAIT_FAILED for a bad handle.
DWORD WaitPumpingMessages(HANDLE process);
