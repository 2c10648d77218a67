#pragma once
// Helpers for the line reader and writer tests.
#include <windows.h>

#include <string>
#include <vector>

using Lines = std::vector<std::wstring>;

// UTF-16LE bytes of the text, with the byte order mark when asked.
inline std::string utf16le(const std::wstring& text, bool bom) {
    std::string bytes = bom ? std::string("\xff\xfe") : std::string();
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xff);
        bytes += static_cast<char>((c >> 8) & 0xff);
    }
    return bytes;
}

// Wine maps the host's files under drive Z:, among them /dev/full, a device
// that is always full; Windows has nothing like it.
inline bool running_on_wine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
