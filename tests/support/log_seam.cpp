#include "support/log_seam.h"

#include <sstream>

#include "log_state.h"
#include "support/temp_folder.h"

namespace qen_lib::log::testing {

namespace {

void start_over() {
    detail::process_state() = detail::ProcessState();
}

std::wstring from_ansi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

LogSwitchedOn::LogSwitchedOn(const std::wstring& path) : m_path(path) {
    detail::settings() = detail::Settings();
    detail::settings().enabled = 1;
    detail::settings().path = path;
    start_over();
}

LogSwitchedOn::~LogSwitchedOn() {
    detail::settings() = detail::Settings();
    start_over();
}

void LogSwitchedOn::set_threshold(int level) {
    detail::settings().threshold = level;
}

void LogSwitchedOn::set_max_size(DWORD bytes) {
    detail::settings().max_size = bytes;
}

void LogSwitchedOn::set_local_time(void (WINAPI* local_time)(LPSYSTEMTIME)) {
    detail::settings().local_time = local_time;
}

void WINAPI fixed_local_time(LPSYSTEMTIME time) {
    *time = SYSTEMTIME{2020, 4, 3, 1, 9, 5, 7, 42};
}

std::string LogSwitchedOn::raw() const {
    return testing_support::read_bytes(m_path);
}

std::vector<std::wstring> LogSwitchedOn::messages() const {
    std::vector<std::wstring> result;
    std::istringstream lines(raw());
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // "<date> <time> JST,<level>,<pid>,<tid>,<message>"
        std::string::size_type start = 0;
        for (int comma = 0; comma < 4 && start != std::string::npos; ++comma) {
            start = line.find(',', start);
            if (start != std::string::npos) ++start;
        }
        if (start == std::string::npos) continue;
        const std::string message = line.substr(start);
        if (message.rfind("#### cmd=", 0) == 0) continue;
        result.push_back(from_ansi(message));
    }
    return result;
}

}  // namespace qen_lib::log::testing
