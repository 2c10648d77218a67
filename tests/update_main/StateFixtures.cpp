#include "StateFixtures.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"vut-state-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter);
    RemoveTree(m_path);
    MakeFolder(m_path);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write the fixture file";
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeFolder(const std::wstring& path) { fs::create_directories(fs::path(path)); }

void RemoveTree(const std::wstring& path) {
    std::error_code ignored;
    fs::remove_all(fs::path(path), ignored);
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
    // The names arrive separated by NULs; show them separated by blanks.
    for (wchar_t& ch : names)
        if (ch == L'\0') ch = L' ';
    while (!names.empty() && names.back() == L' ') names.pop_back();
    return names;
}
