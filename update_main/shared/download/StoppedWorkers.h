#pragma once
// Download workers that were stopped while they still ran. A stop closes the
// WinINet handles whose values such a worker may be passing to a call at that
// very moment, and WinINet gives a value that has come free to the next
// handle it opens (Wine at once): a call that starts late would then act on
// another request. So no WinINet handle is opened in the process until every
// stopped worker has ended.
#include <windows.h>

#include <mutex>

// Counts `thread` as a stopped worker until it ends. Called before the stop
// closes the worker's handles.
void AddStoppedWorker(HANDLE thread);

// Returns once no stopped worker runs, holding the lock that AddStoppedWorker
// takes: the caller opens its handles under it, before any further stop can
// close one. Returns without the lock when `abort` is signalled first.
std::unique_lock<std::mutex> WaitForStoppedWorkers(HANDLE abort);
