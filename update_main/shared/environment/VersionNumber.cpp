#include "environment/VersionNumber.h"

#include <algorithm>

#include "qen_lib/text.h"

VersionNumber::VersionNumber(const std::wstring& text) : m_text(text) {
    for (const std::wstring& piece : qen_lib::text::split_by_string(text, L"."))
        m_parts.push_back(qen_lib::text::to_int(piece, 0));
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
