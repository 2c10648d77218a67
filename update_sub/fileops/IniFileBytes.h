#pragma once
// INI files changed in their bytes as the profile functions change them, for
// a file that this program reads and writes through a handle it has judged,
// never by name: the profile functions open the file again by its name at
// every call, wherever a link there leads by then. The encodings are those
// that WritePrivateProfileStringW keeps: the ANSI code page, or UTF-16LE
// behind its byte-order mark.
#include <optional>
#include <string>

// `bytes` with [section] key = value: the key's line rewritten as
// "key=value", else the key added after the section's last line, else the
// section added at the end of the file, each new line ended by CR LF. Every
// other byte stays as it was. Names match whatever their case; the first
// section and key of a name count. Nothing when the bytes are in another
// encoding (behind a UTF-8 or big-endian mark) or the value cannot be
// written in theirs.
std::optional<std::string> WithIniValue(const std::string& bytes, const wchar_t* section, const wchar_t* key,
                                        const std::wstring& value);

// The value of [section] key as GetPrivateProfileStringW reads it: blanks
// around it dropped, and a pair of quotes around it. Nothing when it is not
// there or the bytes are in another encoding.
std::optional<std::wstring> IniValue(const std::string& bytes, const wchar_t* section, const wchar_t* key);
