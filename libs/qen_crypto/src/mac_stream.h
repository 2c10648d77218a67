#pragma once
// Opening the streams of the Mac-file functions, each with its own code for
// a refused open.
#include <windows.h>

#include <cstdio>

#include "qen_lib/crt_file.h"

// ERROR_SUCCESS; refused when the C runtime cannot open the file;
// ERROR_INVALID_HANDLE when it reports success without a stream.
inline DWORD open_mac_stream(const wchar_t* path, const wchar_t* mode, DWORD refused, qen_lib::CrtFile& stream) {
    FILE* raw = nullptr;
    const errno_t error = _wfopen_s(&raw, path, mode);
    stream.reset(raw);
    if (error != 0) return refused;
    return raw ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
