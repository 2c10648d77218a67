#pragma once
// The SHA-1 of a whole file of any size, read a block at a time. As the Mac
// files it returns BOOL and leaves the reason with SetLastError.
#include <windows.h>

// Writes SHA1_DIGEST_SIZE bytes. FALSE with ERROR_FILE_NOT_FOUND when the
// file does not open (a folder does not), ERROR_IO_DEVICE when it cannot be
// read through, ERROR_ARITHMETIC_OVERFLOW past the largest SHA-1 message.
BOOL file_sha1_digest(const wchar_t* path, unsigned char* digest);
