#include "qen_lib/text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace qen_lib::text {

std::wstring widen(const std::string& narrow) {
    std::vector<wchar_t> wide(narrow.size() + 1);
    std::size_t converted = 0;
    // Invalid input may come back as "success" with a count of -1.
    if (mbstowcs_s(&converted, wide.data(), wide.size(), narrow.c_str(), narrow.size()) != 0 ||
        converted == static_cast<std::size_t>(-1))
        return std::wstring();
    return std::wstring(wide.data());
}

bool starts_with(const std::wstring& text, const wchar_t* prefix) {
    const std::size_t length = std::wcslen(prefix);
    return text.size() >= length && text.compare(0, length, prefix) == 0;
}

int to_int(const std::wstring& text, int default_value) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(begin, &end, 10);
    if (end == begin || *end != L'\0') return default_value;
    // A number that does not fit is no number: clamping would pass a
    // different value on as if it had been read.
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return default_value;
    return static_cast<int>(value);
}

std::vector<std::wstring> split_by_char(const wchar_t* text) {
    return split_by_string(text, L":");
}

std::vector<std::wstring> split_by_string(const std::wstring& text, const std::wstring& delimiter) {
    std::vector<std::wstring> fields;
    if (delimiter.empty()) return {text};
    std::wstring::size_type begin = 0;
    for (;;) {
        const auto found = text.find(delimiter, begin);
        if (found == std::wstring::npos) break;
        fields.push_back(text.substr(begin, found - begin));
        begin = found + delimiter.size();
    }
    fields.push_back(text.substr(begin));
    return fields;
}

std::string bytes_to_hex(const ByteBuffer& bytes) {
    const std::wstring hex = bytes.to_hex(std::wstring());
    return std::string(hex.begin(), hex.end());
}

}  // namespace qen_lib::text
