#pragma once
// The UTF-8 forms that our key derivation hashes. Each UTF-16 unit is encoded
// by itself (surrogate pairs are not combined), as stored Mac files expect.
#include <cstddef>

// Longest OEM password that converts, in UTF-16 units with the NUL.
constexpr std::size_t OEM_PASSWORD_MAX_UNITS = 520;

// Writes the NUL-terminated UTF-8 form; output must hold 3 bytes per unit
// plus the NUL. False, with an empty output, when a unit is 0xFFFF.
bool utf16_to_utf8(const wchar_t* text, char* output);

// The most bytes that oem_to_utf8 writes, the NUL included.
constexpr std::size_t OEM_PASSWORD_UTF8_CAPACITY = 3 * (OEM_PASSWORD_MAX_UNITS - 1) + 1;

// Converts length bytes in the OEM code page to NUL-terminated UTF-8 (output:
// OEM_PASSWORD_UTF8_CAPACITY bytes). False when the code page refuses the
// text, it needs more than OEM_PASSWORD_MAX_UNITS units, or a unit is refused.
bool oem_to_utf8(const char* password, std::size_t length, char* output);
