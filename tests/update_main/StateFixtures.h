#pragma once
// Test fixtures for the local-state pieces: private folders and files in the
// Wine prefix, and raw reads through the profile functions.
#include <string>

// A fresh folder below the temporary folder, removed with all it holds.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return m_path; }
    // path + "\" + relative
    std::wstring operator/(const std::wstring& relative) const { return m_path + L'\\' + relative; }

private:
    std::wstring m_path;
};

// Writes the bytes to a new or truncated file, creating its folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// GetPrivateProfileStringW with a buffer larger than any value here.
std::wstring RawProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback = L"<absent>");
// The key names of a section, in file order.
std::wstring RawProfileKeys(const std::wstring& file, const wchar_t* section);

#include <ostream>

#include <gtest/gtest.h>

#include "framework/CString.h"

// Lets failed expectations show a CString's text.
inline void PrintTo(const CString& text, std::ostream* out) { *out << testing::PrintToString(text.str()); }
