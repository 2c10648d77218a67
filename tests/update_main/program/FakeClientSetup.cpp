// A stand-in for the client's installer in the whole chain of the end-to-end
// tests and the demo. The update site serves it, signed, as the client setup,
// and the installed client's uninstall entry names it as well, as
// InstallShield clients name their setup. Each run appends its command line,
// as one UTF-16 line, to installer_runs.txt in the client folder, and the
// TEMP and TMP it got ("TEMP=... TMP=...") to installer_temp.txt. With
// "/uninst" it removes the client as far as the update tools can tell: the
// client's INI file in the Windows folder goes. Otherwise it installs
// version 6.2.0 into the client folder by writing that INI file.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <utility>

#include "win/handle.h"

namespace {

constexpr wchar_t kClientFolder[] = L"C:\\Program Files\\ZRV\\Velmo";
constexpr wchar_t kRecordName[] = L"\\installer_runs.txt";
constexpr wchar_t kTempRecordName[] = L"\\installer_temp.txt";

std::wstring ClientIniPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length) + L"\\ZRVCAVelmo.ini";
}

bool Record(const wchar_t* name, const std::wstring& text) {
    CreateDirectoryW(kClientFolder, nullptr);
    const win::FileHandle file(CreateFileW((std::wstring(kClientFolder) + name).c_str(), FILE_APPEND_DATA,
                                           FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::wstring line = text + L"\r\n";
    const DWORD size = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    DWORD written = 0;
    return file && WriteFile(file.get(), line.data(), size, &written, nullptr) && written == size;
}

std::wstring Variable(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

bool Install(const std::wstring& iniPath) {
    const std::wstring folder = kClientFolder;
    const std::pair<const wchar_t*, std::wstring> keys[] = {
        {L"ZRVVelmoVersion", L"6.2.0"},
        {L"Directory", folder + L"\\"},
        {L"JREVersion", L"1.8.0_412"},
        {L"JREDirectory", folder + L"\\jre"},
    };
    for (const auto& [key, value] : keys)
        if (!WritePrivateProfileStringW(L"ZRVCAVelmo", key, value.c_str(), iniPath.c_str())) return false;
    return true;
}

bool AskedToUninstall(const wchar_t* commandLine) {
    int count = 0;
    win::LocalMemory owned;
    wchar_t** argv = CommandLineToArgvW(commandLine, &count);
    owned.reset(argv);
    for (int i = 1; argv && i < count; ++i)
        if (std::wcscmp(argv[i], L"/uninst") == 0) return true;
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring iniPath = ClientIniPath();
    if (iniPath.empty() || !Record(kRecordName, GetCommandLineW()) ||
        !Record(kTempRecordName, L"TEMP=" + Variable(L"TEMP") + L" TMP=" + Variable(L"TMP")))
        return 2;
    if (AskedToUninstall(GetCommandLineW())) return DeleteFileW(iniPath.c_str()) ? 0 : 1;
    return Install(iniPath) ? 0 : 1;
}
