#pragma once
// Small text helpers.
#include <string>
#include <vector>

#include "qen_lib/byte_buffer.h"

namespace qen_lib::text {

// The C runtime's multibyte conversion (current locale); empty on failure.
std::wstring widen(const std::string& narrow);

// Case-sensitive; an empty prefix matches.
bool starts_with(const std::wstring& text, const wchar_t* prefix);

// A base-10 number with optional leading white space and sign, and nothing
// after it; the default when there is no number, trailing text, or the value
// is out of range.
int to_int(const std::wstring& text, int default_value);

// Fields between the ':' characters, empty fields included.
std::vector<std::wstring> split_by_char(const wchar_t* text);

// Fields between occurrences of the delimiter, left to right; the text after
// the last delimiter (possibly empty) is the last field.
std::vector<std::wstring> split_by_string(const std::wstring& text, const std::wstring& delimiter);

// Each byte as two lowercase hex digits, no separator.
std::string bytes_to_hex(const ByteBuffer& bytes);

}  // namespace qen_lib::text
