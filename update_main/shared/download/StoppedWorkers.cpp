#include "download/StoppedWorkers.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "win/handle.h"

namespace {

using Thread = std::shared_ptr<win::KernelHandle>;

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

// Called with Lock() held; the ended ones are dropped.
std::vector<Thread>& Running() {
    static std::vector<Thread> running;
    running.erase(std::remove_if(running.begin(), running.end(),
                                 [](const Thread& t) { return ::WaitForSingleObject(t->get(), 0) != WAIT_TIMEOUT; }),
                  running.end());
    return running;
}

}  // namespace

void AddStoppedWorker(HANDLE thread) {
    HANDLE own = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), thread, ::GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0))
        return;
    win::KernelHandle owned(own);
    auto held = std::make_shared<win::KernelHandle>(std::move(owned));
    std::lock_guard<std::mutex> lock(Lock());
    Running().push_back(std::move(held));
}

std::unique_lock<std::mutex> WaitForStoppedWorkers(HANDLE abort) {
    for (;;) {
        std::unique_lock<std::mutex> lock(Lock());
        std::vector<Thread>& running = Running();
        if (running.empty()) return lock;
        // Held by us while we wait: the list may drop it meanwhile.
        const Thread next = running.front();
        lock.unlock();
        const HANDLE waits[] = {abort, next->get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return {};
    }
}
