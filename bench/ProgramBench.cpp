// program_bench RUNS PROGRAM [ARGS...]: starts the program RUNS times, one
// after the other, after one run that is not counted (it fills the caches),
// and times each run from the start to the end of its process. While a run
// lasts, its peak working set is read every few milliseconds (Wine answers
// only while the process lives), and any dialog it shows without a progress
// bar is answered with its close box, so that a run ends unattended. One
// result a line: NAME VALUE.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "win/handle.h"

namespace {

constexpr DWORD kPollMs = 2;

BOOL CALLBACK CloseDialog(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[8] = {};
    GetClassNameW(window, className, 8);
    if (owner == static_cast<DWORD>(processId) && wcscmp(className, L"#32770") == 0 && IsWindowVisible(window) &&
        !FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr))
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

struct Run {
    double seconds = -1;
    SIZE_T peakWorkingSet = 0;
};

Run RunOnce(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    Run run;
    const double start = bench::now();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return run;
    const win::KernelHandle process(started.hProcess);
    const win::KernelHandle thread(started.hThread);
    while (WaitForSingleObject(process.get(), kPollMs) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
            run.peakWorkingSet = std::max(run.peakWorkingSet, counters.PeakWorkingSetSize);
        EnumWindows(&CloseDialog, static_cast<LPARAM>(started.dwProcessId));
    }
    run.seconds = bench::now() - start;
    return run;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 2 ? _wtoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: program_bench RUNS PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
    for (int i = 3; i < argc; ++i) commandLine += L" " + std::wstring(argv[i]);

    RunOnce(commandLine);
    std::vector<double> seconds;
    SIZE_T peak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = RunOnce(commandLine);
        if (run.seconds < 0) {
            std::printf("failed %lu\n", GetLastError());
            return 1;
        }
        seconds.push_back(run.seconds);
        peak = std::max(peak, run.peakWorkingSet);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median_s %.4f\n", seconds[seconds.size() / 2]);
    std::printf("min_s %.4f\n", seconds.front());
    std::printf("max_s %.4f\n", seconds.back());
    std::printf("peak_kib %lu\n", static_cast<unsigned long>(peak / 1024));
    return 0;
}
