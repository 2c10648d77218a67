#include "process/ProcessExit.h"

#include <windows.h>

#include <utility>

namespace {

std::function<void()>& Cleanup() {
    static std::function<void()> cleanup;
    return cleanup;
}

}  // namespace

void SetExitCleanup(std::function<void()> cleanup) { Cleanup() = std::move(cleanup); }

void EndProcess(int exitCode) {
    // Taken out first: a cleanup that ends up here again must not loop.
    const std::function<void()> cleanup = std::exchange(Cleanup(), nullptr);
    if (cleanup) cleanup();
    ::ExitProcess(static_cast<UINT>(exitCode));
}
