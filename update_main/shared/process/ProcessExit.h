#pragma once
// The one way a run ends the process early. A program that has left orders
// for another one registers what must be undone first, so that no early end
// leaves orders behind that a later run would carry out.
#include <functional>

// Runs before every early end; replaces the one registered before. An empty
// function registers nothing.
void SetExitCleanup(std::function<void()> cleanup);

// Runs the registered cleanup once, then ends the process at once with the
// given exit code.
[[noreturn]] void EndProcess(int exitCode);
