#pragma once
// The framework's wide string: what the user-interface, INI and application
// code pass around. Narrow text given to it is read in the thread's ANSI code
// page, which start-up sets to Japanese (932).
#include <cstdarg>
#include <string>
#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_text(text, static_cast<size_t>(length)) {}
    CString(const std::wstring& text) : m_text(text) {}
    explicit CString(const char* ansi);
    // `length` bytes of narrow text, however many NULs they hold: what was
    // read is converted whole, never cut at a stray NUL.
    CString(const char* ansi, int length);

    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }

    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const wchar_t* other) { m_text += other ? other : L""; return *this; }
    CString& operator+=(wchar_t ch) { m_text += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const wchar_t* b) { return a + CString(b); }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) + b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }

    // Returns the index of the first match at or after `start`, or -1.
    int Find(const wchar_t* sub, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Edits return the new length or the number of changes, as callers expect.
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);
    int Replace(const wchar_t* from, const wchar_t* to);
    int Remove(wchar_t ch);
    CString& Trim();

    // printf-style formatting; wide arguments are "%ls", narrow ones "%hs".
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // Direct access for Win32 calls that fill a buffer: ReleaseBuffer(-1)
    // takes the length from the terminator.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::wstring m_text;
};
