#include "support/StateFixtures.h"

#include <windows.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    testing_support::write_bytes(path, bytes);
    ASSERT_EQ(testing_support::read_bytes(path), bytes) << "cannot write the fixture file";
}

void MakeFolder(const std::wstring& path) { fs::create_directories(fs::path(path)); }

void RemoveTree(const std::wstring& path) {
    std::error_code ignored;
    fs::remove_all(fs::path(path), ignored);
}

std::map<std::wstring, std::string> FolderFiles(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        files[entry.path().filename().wstring()] = testing_support::read_bytes(entry.path());
    return files;
}

std::wstring RawProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback) {
    std::vector<wchar_t> buffer(8192);
    const DWORD length = GetPrivateProfileStringW(section, key, fallback, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    return std::wstring(buffer.data(), length);
}

std::wstring RawProfileKeys(const std::wstring& file, const wchar_t* section) {
    std::wstring names = RawProfileValue(file, section, nullptr, L"");
    // The names arrive separated by NULs.
    for (wchar_t& ch : names)
        if (ch == L'\0') ch = L' ';
    while (!names.empty() && names.back() == L' ') names.pop_back();
    return names;
}

std::string ProfileLimitCase::Text(char letter) const {
    const std::string letters(length, letter);
    return quoted ? "\"" + letters + "\"" : letters;
}

std::string ProfileLimitCase::Describe() const {
    return std::to_string(length) + (quoted ? " characters in quotes" : " characters");
}

std::vector<ProfileLimitCase> ProfileLimitCases(std::size_t longest) {
    std::vector<ProfileLimitCase> cases;
    for (const bool quoted : {false, true})
        for (const std::size_t length : {longest - 1, longest, longest + 1}) cases.push_back({length, quoted});
    return cases;
}
