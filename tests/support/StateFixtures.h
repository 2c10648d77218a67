#pragma once
// Test fixtures for the local-state pieces: private folders and files in the
// Wine prefix, and raw reads through the profile functions.
#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CString.h"
#include "support/temp_folder.h"

using testing_support::TempFolder;

// Writes the bytes to a new or truncated file, creating its folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
void MakeFolder(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Name and bytes of each entry directly in a folder (a folder's are empty).
std::map<std::wstring, std::string> FolderFiles(const std::wstring& folder);

// What RawProfileValue gives for a key that is not there.
inline constexpr wchar_t ABSENT[] = L"<absent>";
// GetPrivateProfileStringW with a buffer larger than any value here.
std::wstring RawProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback = ABSENT);
// The key names of a section, in file order, separated by blanks.
std::wstring RawProfileKeys(const std::wstring& file, const wchar_t* section);

// One value around the longest that a profile reader takes whole, as it
// stands in the INI line: plain, or in the double quotes the reader drops.
struct ProfileLimitCase {
    std::size_t length;
    bool quoted;

    std::string Text(char letter) const;
    std::string Describe() const;
};
// One less than the longest, the longest and one more; each plain and quoted.
std::vector<ProfileLimitCase> ProfileLimitCases(std::size_t longest);

// Lets failed expectations show a CString's text.
inline void PrintTo(const CString& text, std::ostream* out) { *out << testing::PrintToString(text.str()); }
