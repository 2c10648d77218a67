#pragma once
// Test-only switch for the diagnostic log. The programs have no way to turn
// the log on; tests do it through this object, which also reads back what was
// written.
#include <windows.h>

#include <string>
#include <vector>

namespace qen_lib::log::testing {

class LogSwitchedOn {
public:
    // The log on, threshold 3, writing to path; the process counts as just
    // started (no header written yet, no open failure reported).
    explicit LogSwitchedOn(const std::wstring& path);
    // Off again with the fixed settings, as at process start.
    ~LogSwitchedOn();
    LogSwitchedOn(const LogSwitchedOn&) = delete;
    LogSwitchedOn& operator=(const LogSwitchedOn&) = delete;

    void set_threshold(int level);
    void set_max_size(DWORD bytes);
    void set_local_time(void (WINAPI* local_time)(LPSYSTEMTIME));

    // The file's bytes as written (text mode: "\r\n" line ends).
    std::string raw() const;
    // The message part of every entry but the header, without line ends.
    std::vector<std::wstring> messages() const;

private:
    std::wstring m_path;
};

// A clock for byte-exact entries: 2020/04/01 09:05:07.042.
void WINAPI fixed_local_time(LPSYSTEMTIME time);

}  // namespace qen_lib::log::testing
