#pragma once
// Preparing the process before anything else runs.
#include <string>

// Japanese C locale, C++ locale where the run-time library has it, and the
// Japanese thread locale (code page 932 for every narrow text).
void SetJapaneseLocale();

// Takes the current folder out of the DLL search path and makes the system
// folder current, so that no DLL planted beside a downloaded file or in the
// folder we were started from is ever loaded. False if any step fails.
bool HardenDllSearchPath();

// The Windows system folder; "" when it cannot be had whole.
std::wstring SystemFolder();
