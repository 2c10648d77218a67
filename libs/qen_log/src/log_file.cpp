// Opening the log file with retries, closing it and rotating it.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "log_state.h"
#include "qen_lib/log.h"
#include "win/handle.h"

namespace qen_lib::log {

namespace {

constexpr int kOpenAttempts = 11;
constexpr DWORD kRetryDelayMs = 50;
constexpr std::size_t kPathBuffer = 261;

bool size_of(const std::wstring& path, DWORD& size) {
    win::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size = GetFileSize(file.get(), nullptr);
    return size != INVALID_FILE_SIZE;
}

// The current file becomes the ".bak.txt" generation. It goes through a
// ".tmp.txt" name first: when that name is taken (a rotation that failed half
// way), the file stays in place and keeps growing.
void rotate(const std::wstring& path) {
    const std::wstring tmp = path + L".tmp.txt";
    const std::wstring bak = path + L".bak.txt";
    if (tmp.size() >= kPathBuffer) return;
    if (MoveFileExW(path.c_str(), tmp.c_str(), 0))
        MoveFileExW(tmp.c_str(), bak.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

CrtFile open() {
    const detail::Settings& s = detail::settings();
    detail::ProcessState& state = detail::process_state();
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        // Shared open: other threads and processes append to the same file.
        CrtFile file(_wfopen(s.path.c_str(), L"a"));
        if (file) return file;
        const unsigned long error = _doserrno;
        _doserrno = 0;
        if (!state.open_failure_reported) {
            std::wprintf(L"QenUtil:log open failed:0x%08lx %ls\n", error, s.path.c_str());
            // A missing folder will not appear by itself: say it once.
            if (error == ERROR_PATH_NOT_FOUND) state.open_failure_reported = true;
        }
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) break;
        if (attempt + 1 < kOpenAttempts) Sleep(kRetryDelayMs);
    }
    return CrtFile();
}

void close(CrtFile file) {
    file.reset();
    const detail::Settings& s = detail::settings();
    DWORD size = 0;
    if (size_of(s.path, size) && size > s.max_size) rotate(s.path);
}

}  // namespace qen_lib::log
