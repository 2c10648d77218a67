// Entries: the prefix, the once-per-process header and the message.
#include <windows.h>

#include <cerrno>
#include <cstdarg>
#include <cwchar>

#include "log_state.h"
#include "qen_lib/log.h"

namespace qen_lib::log {

namespace {

const wchar_t* level_name(int level) {
    static const wchar_t* const names[] = {L"-    ", L"ERR  ", L"WARN ", L"INFO ", L"-    ", L"DEBUG"};
    return level >= 0 && level <= 5 ? names[level] : L"-    ";
}

// The program part of the command line: from its last '\' on.
const wchar_t* command_name() {
    const wchar_t* cmd = GetCommandLineW();
    const wchar_t* slash = std::wcsrchr(cmd, L'\\');
    return slash ? slash : cmd;
}

// Logging must not change what the caller is about to report.
class ErrorsKept {
public:
    ErrorsKept() : m_last_error(GetLastError()), m_errno(errno) {}
    ~ErrorsKept() {
        errno = m_errno;
        SetLastError(m_last_error);
    }
    ErrorsKept(const ErrorsKept&) = delete;
    ErrorsKept& operator=(const ErrorsKept&) = delete;

private:
    DWORD m_last_error;
    int m_errno;
};

}  // namespace

bool is_enabled(int level) {
    const detail::Settings& s = detail::settings();
    return s.enabled != 0 && s.threshold >= level;
}

void write_prefix(FILE* file, int level) {
    SYSTEMTIME t{};
    detail::settings().local_time(&t);
    // The zone is always written as JST, whatever the machine's zone.
    std::fwprintf(file, L"%04d/%02d/%02d %02d:%02d:%02d.%03d JST,%ls,%d,%d,", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, level_name(level),
                  static_cast<int>(GetCurrentProcessId()), static_cast<int>(GetCurrentThreadId()));
}

void write_header(int level) {
    detail::ProcessState& state = detail::process_state();
    if (state.header_written) return;
    if (CrtFile file = open()) {
        write_prefix(file.get(), level);
        std::fwprintf(file.get(), L"#### cmd=%ls, pid=%d\n", command_name(),
                      static_cast<int>(GetCurrentProcessId()));
        close(std::move(file));
    }
    // Even when the file could not be opened: one attempt per process.
    state.header_written = true;
}

int print(int level, const wchar_t* format, ...) {
    if (!is_enabled(level)) return 0;
    const ErrorsKept kept;
    write_header(level);
    CrtFile file = open();
    if (!file) return 0;
    write_prefix(file.get(), level);
    va_list args;
    va_start(args, format);
    std::vfwprintf(file.get(), format, args);
    va_end(args);
    std::fputwc(L'\n', file.get());
    close(std::move(file));
    return 1;
}

}  // namespace qen_lib::log
