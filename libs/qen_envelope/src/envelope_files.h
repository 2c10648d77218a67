#pragma once
// File access of the two envelope passes: raw bytes through Win32 handles, so
// that every failure leaves its system error.
#include <windows.h>

#include "win/handle.h"

namespace envelope_files {

// Both passes go through the files in blocks of this size.
constexpr DWORD BLOCK = 2048;

inline win::FileHandle open_for_reading(const wchar_t* path) {
    return win::FileHandle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Created, or truncated when it exists.
inline win::FileHandle create_for_writing(const wchar_t* path) {
    return win::FileHandle(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Up to size bytes; *got is 0 at the end of the file.
inline bool read_some(const win::FileHandle& file, void* data, DWORD size, DWORD* got) {
    return ReadFile(file.get(), data, size, got, nullptr) != FALSE;
}

inline bool write_all(const win::FileHandle& file, const void* data, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(file.get(), data, size, &written, nullptr)) return false;
    if (written == size) return true;
    SetLastError(ERROR_WRITE_FAULT);
    return false;
}

}  // namespace envelope_files
