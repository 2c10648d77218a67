#pragma once
// The one read loop of the file hashes: every byte of a file, a block at a
// time, in order.
#include <windows.h>

#include <cstddef>
#include <functional>

// Hands each block read to take, which returns ERROR_SUCCESS to go on or an
// error to stop with. ERROR_SUCCESS after the last byte; else
// ERROR_FILE_NOT_FOUND when the file does not open, ERROR_INVALID_HANDLE
// when the open gives no stream, ERROR_IO_DEVICE on a read error, or what
// take stopped with.
DWORD read_file_blocks(const wchar_t* path, const std::function<DWORD(const unsigned char*, std::size_t)>& take);
