#include "profile/IniProfile.h"

#include <shlobj.h>

#include <vector>

namespace {
constexpr DWORD kProfileTextChars = 261;
}

std::wstring GetProgramDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder) != S_OK || folder[0] == L'\0') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::wstring();
    }
    return folder;
}

std::wstring JoinFolderPath(const std::wstring& folder, const std::wstring& part1, const std::wstring& part2) {
    if (folder.empty()) return std::wstring();
    return folder + L'\\' + part1 + L'\\' + part2;
}

std::wstring MakeProgramDataPath(const std::wstring& part1, const std::wstring& part2) {
    return JoinFolderPath(GetProgramDataFolder(), part1, part2);
}

std::optional<std::wstring> ReadWholeProfileString(const std::wstring& file, const wchar_t* section,
                                                   const wchar_t* key, const wchar_t* fallback, DWORD bufferChars) {
    // The profile reader cuts a value to the buffer before it drops the
    // quotes around it: a quoted value that just fills the buffer comes back
    // one character short, as if it had fitted. Two characters more let a
    // value one longer than the buffer holds show, quoted or not.
    const DWORD readChars = bufferChars + 2;
    std::vector<wchar_t> buffer(readChars, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, fallback, buffer.data(), readChars, file.c_str());
    if (length >= bufferChars) return std::nullopt;
    return std::wstring(buffer.data(), length);
}

std::wstring ReadProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                               const wchar_t* fallback, DWORD bufferChars) {
    // A cut value would name another file or address than the one written.
    return ReadWholeProfileString(file, section, key, fallback, bufferChars).value_or(fallback);
}

std::wstring GetProfileText(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                            const wchar_t* fallback) {
    return ReadProfileString(file, section, key, fallback, kProfileTextChars);
}

BOOL WriteIniInt(const wchar_t* section, const wchar_t* key, int value, const std::wstring& file) {
    wchar_t text[256];
    wsprintfW(text, L"%d", value);
    return WritePrivateProfileStringW(section, key, text, file.c_str());
}

std::wstring ReadServerValue(const std::wstring& settingsFile, const wchar_t* key) {
    if (settingsFile.empty()) return std::wstring();
    return GetProfileText(settingsFile, L"SERVER", key, L"");
}

std::wstring GetServerValue(const std::wstring& part1, const std::wstring& part2, const wchar_t* key) {
    return ReadServerValue(MakeProgramDataPath(part1, part2), key);
}
