#include "environment/VersionNumber.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "qen_lib/text.h"

namespace {

// A piece wholly a number (leading blanks and a sign allowed) as wcstol
// reads it, clamped to the int range; 0 for anything else. Clamping keeps
// the order: a part beyond 32 bits must stay the newest, not become 0.
int PartOf(const std::wstring& piece) {
    const wchar_t* begin = piece.c_str();
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(begin, &end, 10);
    if (end == begin || *end != L'\0') return 0;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

VersionNumber::VersionNumber(const std::wstring& text) : m_text(text) {
    for (const std::wstring& piece : qen_lib::text::split_by_string(text, L".")) m_parts.push_back(PartOf(piece));
}

VersionNumber::VersionNumber(const int* first, const int* last)
    : m_text(JoinVersionParts(first, last)), m_parts(first, last) {}

bool operator<(const VersionNumber& a, const VersionNumber& b) {
    const size_t length = std::max(a.m_parts.size(), b.m_parts.size());
    for (size_t i = 0; i < length; ++i) {
        const int left = i < a.m_parts.size() ? a.m_parts[i] : 0;
        const int right = i < b.m_parts.size() ? b.m_parts[i] : 0;
        if (left != right) return left < right;
    }
    return false;
}

std::wstring JoinVersionParts(const int* first, const int* last) {
    std::wstring joined;
    for (const int* number = first; number != last; ++number) {
        if (number != first) joined += L'.';
        joined += std::to_wstring(*number);
    }
    return joined;
}

int SplitAtFirst(const std::wstring& text, wchar_t delimiter, std::wstring& head, std::wstring& rest) {
    const size_t at = text.find(delimiter);
    if (at == std::wstring::npos) {
        head = text;
        return -1;
    }
    head = text.substr(0, at);
    rest = text.substr(at + 1);
    return static_cast<int>(at);
}
