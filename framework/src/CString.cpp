#include "framework/CString.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

CString::CString(const char* ansi) : CString(ansi, ansi ? static_cast<int>(std::strlen(ansi)) : 0) {}

CString::CString(const char* ansi, int length) {
    if (!ansi || length <= 0) return;
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, ansi, length, nullptr, 0);
    if (needed <= 0) return;
    m_text.resize(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_THREAD_ACP, 0, ansi, length, &m_text[0], needed);
}

int CString::Find(const wchar_t* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, static_cast<size_t>(std::clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Insert(int index, const wchar_t* text) {
    index = std::clamp(index, 0, GetLength());
    m_text.insert(static_cast<size_t>(index), text ? text : L"");
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0)
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

int CString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    const std::wstring old(from), repl(to ? to : L"");
    int count = 0;
    for (size_t at = m_text.find(old); at != std::wstring::npos; at = m_text.find(old, at + repl.size())) {
        m_text.replace(at, old.size(), repl);
        ++count;
    }
    return count;
}

int CString::Remove(wchar_t ch) {
    const size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

CString& CString::Trim() {
    const auto blank = [](wchar_t c) { return std::iswspace(c) != 0; };
    const auto first = std::find_if_not(m_text.begin(), m_text.end(), blank);
    const auto last = std::find_if_not(m_text.rbegin(), m_text.rend(), blank).base();
    m_text = first < last ? std::wstring(first, last) : std::wstring();
    return *this;
}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args) {
    // vswprintf reports -1 both for a bad format and a short buffer; grow until
    // it fits, up to a bound that no message of ours comes near.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (written >= 0) {
            m_text.assign(buffer.data(), static_cast<size_t>(written));
            return;
        }
        if (buffer.size() >= (1u << 20)) {
            m_text.clear();
            return;
        }
        buffer.resize(buffer.size() * 4);
    }
}

wchar_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::wcslen(m_text.c_str()));
    m_text.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}
