#pragma once
// The log's fixed settings and its once-per-process flags. Only the library
// and the test seam see this header; the programs have no way to change them.
#include <windows.h>

#include <string>

namespace qen_lib::log::detail {

struct Settings {
    int enabled = 0;
    int threshold = 3;
    DWORD max_size = 5120000;
    std::wstring path = L"C:\\Temp\\log.txt";
    void (WINAPI* local_time)(LPSYSTEMTIME) = ::GetLocalTime;
};

struct ProcessState {
    bool header_written = false;
    bool open_failure_reported = false;
};

Settings& settings();
ProcessState& process_state();

}  // namespace qen_lib::log::detail
