// Stands in for the secondary program in the end-to-end tests and the demo.
// It records what it was handed, in the folder that VUT_STUB_RECORD names: its
// command line (command_line.txt, UTF-8) and the exchange file as it finds it
// (exchange.ini); then it ends.
#include <windows.h>

#include <string>

#include "paths/PathConstants.h"
#include "profile/IniProfile.h"
#include "win/handle.h"

namespace {

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    const win::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t named[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VUT_STUB_RECORD", named, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    const std::wstring folder = named;
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring base = GetProgramDataFolder();
    if (base.empty()) return 2;
    // The exchange file first: the command line's file tells the reader
    // that the record is complete.
    const std::wstring exchange = base + DATA_INI_SUBPATH.c_str();
    const bool copied = CopyFileW(exchange.c_str(), (folder + L"\\exchange.ini").c_str(), FALSE) != FALSE;
    const bool written = WriteUtf8(folder + L"\\command_line.txt", GetCommandLineW());
    return copied && written ? 0 : 1;
}
