#include "paths/PathExpansion.h"

#include <windows.h>
#include <shlobj.h>

namespace {

enum class Source { ProgramData, Windows, WindowsDrive, Shell };

struct SystemVariable {
    const wchar_t* name;
    Source source;
    int csidl;  // of a Shell folder
};

constexpr SystemVariable kSystemVariables[] = {
    {L"ProgramData", Source::ProgramData, 0},
    {L"ALLUSERSPROFILE", Source::ProgramData, 0},
    {L"windir", Source::Windows, 0},
    {L"SystemRoot", Source::Windows, 0},
    {L"SystemDrive", Source::WindowsDrive, 0},
    {L"ProgramFiles", Source::Shell, CSIDL_PROGRAM_FILES},
    {L"ProgramFiles(x86)", Source::Shell, CSIDL_PROGRAM_FILESX86},
    {L"CommonProgramFiles", Source::Shell, CSIDL_PROGRAM_FILES_COMMON},
    {L"CommonProgramFiles(x86)", Source::Shell, CSIDL_PROGRAM_FILES_COMMONX86},
};

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length);
}

std::wstring ShellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return std::wstring();
    return folder;
}

// "" for a name that is no system folder, or one Windows does not give.
std::wstring NamedSystemFolder(const std::wstring& name, const std::wstring& programDataFolder) {
    for (const SystemVariable& variable : kSystemVariables) {
        if (_wcsicmp(name.c_str(), variable.name) != 0) continue;
        switch (variable.source) {
        case Source::ProgramData: return programDataFolder;
        case Source::Windows: return WindowsFolder();
        case Source::WindowsDrive: return WindowsFolder().substr(0, 2);
        case Source::Shell: return ShellFolder(variable.csidl);
        }
    }
    return std::wstring();
}

}  // namespace

std::wstring ExpandPath(const std::wstring& pathTemplate) {
    // The first call tells the size the expansion needs, terminator included.
    DWORD needed = ExpandEnvironmentStringsW(pathTemplate.c_str(), nullptr, 0);
    while (needed != 0) {
        std::wstring expanded(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(pathTemplate.c_str(), &expanded[0], needed);
        if (written == 0) break;
        // The environment may have grown between the two calls: ask again.
        if (written > needed) {
            needed = written;
            continue;
        }
        expanded.resize(written - 1);
        return expanded;
    }
    return std::wstring();
}

std::wstring ExpandSystemPath(const std::wstring& pathTemplate, const std::wstring& programDataFolder) {
    std::wstring expanded;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = pathTemplate.find(L'%', at);
        const std::size_t close = open == std::wstring::npos ? open : pathTemplate.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        const std::wstring name = pathTemplate.substr(open + 1, close - open - 1);
        const std::wstring folder = NamedSystemFolder(name, programDataFolder);
        if (folder.empty()) return std::wstring();
        expanded += pathTemplate.substr(at, open - at) + folder;
        at = close + 1;
    }
    return expanded + pathTemplate.substr(at);
}
