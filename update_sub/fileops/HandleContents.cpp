#include "fileops/HandleContents.h"

#include <algorithm>

namespace {

bool FromTheStart(HANDLE file) {
    LARGE_INTEGER start = {};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

bool Fail(DWORD error) {
    ::SetLastError(error);
    return false;
}

}  // namespace

std::optional<std::string> ReadWholeFile(HANDLE file, std::size_t limit) {
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size) || !FromTheStart(file)) return std::nullopt;
    const unsigned long long most = std::min<unsigned long long>(limit, MAXDWORD);
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > most) {
        Fail(ERROR_FILE_TOO_LARGE);
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    // Cut short since its size was taken.
    if (read != bytes.size()) {
        Fail(ERROR_HANDLE_EOF);
        return std::nullopt;
    }
    return bytes;
}

bool WriteWholeFile(HANDLE file, const std::string& bytes) {
    if (bytes.size() > MAXDWORD) return Fail(ERROR_FILE_TOO_LARGE);
    if (!FromTheStart(file)) return false;
    DWORD written = 0;
    if (!bytes.empty() && !::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return false;
    if (written != bytes.size()) return Fail(ERROR_WRITE_FAULT);
    // On the disk before the run goes on: the setup it starts next reads it.
    return ::SetEndOfFile(file) && ::FlushFileBuffers(file);
}
