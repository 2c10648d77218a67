#include "qen_lib/crypto/utf8.h"

#include <windows.h>

#include <climits>

bool utf16_to_utf8(const wchar_t* text, char* output) {
    char* out = output;
    for (const wchar_t* p = text;; ++p) {
        const unsigned u = static_cast<unsigned>(*p) & 0xFFFFu;
        if (u == 0) break;
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *out++ = static_cast<char>(0xC0 | (u >> 6));
            *out++ = static_cast<char>(0x80 | (u & 0x3F));
        } else if (u != 0xFFFF) {
            *out++ = static_cast<char>(0xE0 | (u >> 12));
            *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            output[0] = '\0';
            return false;
        }
    }
    *out = '\0';
    return true;
}

bool oem_to_utf8(const char* password, std::size_t length, char* output) {
    output[0] = '\0';
    wchar_t wide[OEM_PASSWORD_MAX_UNITS];
    int units = 0;
    if (length != 0) {
        // One unit stays free for the NUL; a longer text fails here.
        if (length > INT_MAX) return false;
        units = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, password, static_cast<int>(length), wide,
                                    static_cast<int>(OEM_PASSWORD_MAX_UNITS - 1));
        if (units == 0) return false;
    }
    wide[units] = L'\0';
    return utf16_to_utf8(wide, output);
}
