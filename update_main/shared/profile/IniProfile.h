#pragma once
// The profile (INI) calls that the settings and exchange files go through,
// and the common application-data folder both files lie below.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Where a piece finds the common application-data folder: the folder, or
// empty with the thread's last error set. Tests hand in a folder of their own.
using FolderSource = std::function<std::wstring()>;

// The CSIDL_COMMON_APPDATA folder without a trailing backslash; empty and
// ERROR_FILE_NOT_FOUND when Windows cannot give it.
std::wstring GetProgramDataFolder();

// folder, "\", part1, "\", part2; empty when the folder is empty.
std::wstring JoinFolderPath(const std::wstring& folder, const std::wstring& part1, const std::wstring& part2);
// JoinFolderPath below GetProgramDataFolder.
std::wstring MakeProgramDataPath(const std::wstring& part1, const std::wstring& part2);

// The value as GetPrivateProfileStringW gives it into a buffer of
// `bufferChars` characters (terminator included), but never cut: nothing
// when it is longer than bufferChars - 1 characters, quoted or not.
std::optional<std::wstring> ReadWholeProfileString(const std::wstring& file, const wchar_t* section,
                                                   const wchar_t* key, const wchar_t* fallback, DWORD bufferChars);
// ReadWholeProfileString; a value too long for the buffer reads as absent,
// as the fallback.
std::wstring ReadProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                               const wchar_t* fallback, DWORD bufferChars);
// ReadProfileString with the 261 characters of the settings readers.
std::wstring GetProfileText(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                            const wchar_t* fallback);

// Writes the value as "%d"; the WritePrivateProfileStringW result.
BOOL WriteIniInt(const wchar_t* section, const wchar_t* key, int value, const std::wstring& file);

// [SERVER] `key` of the settings file `settingsFile`; "" when the path is
// empty (the file is then not read) or the key is absent.
std::wstring ReadServerValue(const std::wstring& settingsFile, const wchar_t* key);
// [SERVER] `key` of the file part1\part2 below the common application-data
// folder, as the secondary program reads its download addresses.
std::wstring GetServerValue(const std::wstring& part1, const std::wstring& part2, const wchar_t* key);
