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

std::wstring ReadProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                               const wchar_t* fallback, DWORD bufferChars) {
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, fallback, buffer.data(), bufferChars, file.c_str());
    return std::wstring(buffer.data(), length);
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
