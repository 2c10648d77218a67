// The one line of a Mac file, read and written in text mode (CR LF on disk).
#include <cstdio>
#include <cwchar>

#include "mac_stream.h"
#include "qen_lib/crypto/mac_file.h"
#include "win/win_result.h"

namespace {

// fgetws limit: 259 characters and the NUL.
constexpr int LINE_LIMIT = MAX_PATH;

DWORD read_line(const wchar_t* path, wchar_t* text) {
    qen_lib::CrtFile stream;
    if (const DWORD error = open_mac_stream(path, L"r", ERROR_FILE_NOT_FOUND, stream)) return error;
    wchar_t line[LINE_LIMIT];
    if (!std::fgetws(line, LINE_LIMIT, stream.get()) || std::ferror(stream.get())) return ERROR_IO_DEVICE;
    std::size_t length = std::wcslen(line);
    if (length != 0 && line[length - 1] == L'\n') line[--length] = L'\0';
    if (length >= MAC_TEXT_CAPACITY) return ERROR_INTERNAL_ERROR;
    std::wmemcpy(text, line, length + 1);
    return ERROR_SUCCESS;
}

DWORD write_line(const wchar_t* path, const wchar_t* text) {
    qen_lib::CrtFile stream;
    if (const DWORD error = open_mac_stream(path, L"w", ERROR_FILE_READ_ONLY, stream)) return error;
    const bool written = std::fwprintf(stream.get(), L"%ls\n", text) >= 0 && std::fflush(stream.get()) == 0 &&
                         !std::ferror(stream.get());
    // The close must succeed too: a full disk may show only there.
    const bool closed = qen_lib::close_checked(stream) == 0;
    return written && closed ? ERROR_SUCCESS : ERROR_IO_DEVICE;
}

}  // namespace

BOOL mac_file_read_line(const wchar_t* path, wchar_t* text) { return qen_lib::report(read_line(path, text)); }

BOOL mac_file_write_line(const wchar_t* path, const wchar_t* text) { return qen_lib::report(write_line(path, text)); }
