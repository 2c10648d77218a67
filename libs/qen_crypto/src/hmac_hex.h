#pragma once
// The Mac text of bytes in memory, beside file_hmac_hex for files.
#include <windows.h>

#include <cstddef>

// ERROR_SUCCESS with the text (MAC_TEXT_CAPACITY characters), else the error.
DWORD bytes_hmac_hex(const void* data, std::size_t size, const unsigned char* key, std::size_t key_length,
                     wchar_t* text, int hash_id);
