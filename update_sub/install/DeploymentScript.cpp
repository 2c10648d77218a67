#include "install/DeploymentScript.h"

#include <windows.h>
#include <shlwapi.h>

#include "fileops/EntrySecurity.h"
#include "fileops/OpenedEntry.h"
#include "win/handle.h"

namespace {

// "C:\...": a relative or drive-relative name would be looked for in
// whatever folder is current, and a share's server says what it likes of
// owners and sharing (and is sent the administrator's credentials).
bool IsLocalFullPath(const std::wstring& path) {
    return path.size() > 2 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

win::FileHandle OpenFolder(const std::wstring& folder) {
    return win::FileHandle(::CreateFileW(folder.c_str(), READ_CONTROL,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The folder's final path; the path as given when it cannot be opened.
std::wstring FinalFolderPath(const std::wstring& folder) {
    const win::FileHandle entry = OpenFolder(folder);
    const std::wstring path = entry ? FinalPath(entry.get()) : std::wstring();
    return path.empty() ? folder : path;
}

std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    const std::wstring path(module, length);
    return FinalFolderPath(path.substr(0, path.find_last_of(L'\\')));
}

bool IsInside(const std::wstring& path, const std::wstring& folder) {
    if (folder.empty() || path.size() <= folder.size() || path[folder.size()] != L'\\') return false;
    const int length = static_cast<int>(folder.size());
    return ::CompareStringOrdinal(path.c_str(), length, folder.c_str(), length, TRUE) == CSTR_EQUAL;
}

// In the folder itself, not in one below it, which a user may have made.
bool IsDirectlyIn(const std::wstring& path, const std::wstring& folder) {
    return IsInside(path, folder) && path.find(L'\\', folder.size() + 1) == std::wstring::npos;
}

// The file and every folder above it, its root included: owned by the
// machine's own accounts, and nobody else may change any of them.
bool TrustedUpToTheRoot(HANDLE script, const std::wstring& path) {
    if (!OnlyTrustedMayChangeEntry(script, OnTheWay::Entry)) return false;
    const wchar_t* afterRoot = ::PathSkipRootW(path.c_str());
    if (!afterRoot) return false;
    const std::size_t rootLength = static_cast<std::size_t>(afterRoot - path.c_str());
    for (std::size_t end = path.find_last_of(L'\\'); end != std::wstring::npos && end >= rootLength;
         end = path.find_last_of(L'\\', end - 1)) {
        const win::FileHandle folder = OpenFolder(path.substr(0, end));
        if (!folder || !OnlyTrustedMayChangeEntry(folder.get(), OnTheWay::Entry)) return false;
    }
    const win::FileHandle root = OpenFolder(path.substr(0, rootLength));
    return root && OnlyTrustedMayChangeEntry(root.get(), OnTheWay::VolumeRoot);
}

// The final path of the script, held in `script`; empty when it may not run.
std::wstring CheckedScript(const std::wstring& vbsFile, const std::wstring& dataFolder, win::FileHandle& script) {
    // A quote would end the script's name early and let the rest of the
    // setting become wscript's own options.
    if (vbsFile.find(L'"') != std::wstring::npos || !IsLocalFullPath(vbsFile)) return std::wstring();
    // Without the data folder nothing could be told to be outside it.
    if (dataFolder.empty()) return std::wstring();
    // Read access, or the handle would not take part in sharing at all.
    script.reset(::CreateFileW(vbsFile.c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // A link itself is refused: what it leads to would not be held.
    if (!script || !IsPlainFile(script.get())) return std::wstring();
    // A link on a local disk may still lead to a share.
    const std::wstring path = FinalPath(script.get());
    if (!IsLocalFullPath(path)) return std::wstring();
    // The data folder is the user's, even should the programs lie above it.
    if (IsInside(path, FinalFolderPath(dataFolder))) return std::wstring();
    if (IsDirectlyIn(path, ProgramFolder())) return path;
    return TrustedUpToTheRoot(script.get(), path) ? path : std::wstring();
}

}  // namespace

bool RunVbsFile(ProgramRunner& runner, const std::wstring& vbsFile, const std::wstring& dataFolder,
                std::vector<std::wstring>& refused) {
    if (vbsFile.empty()) return false;
    win::FileHandle script;
    const std::wstring path = CheckedScript(vbsFile, dataFolder, script);
    if (path.empty()) {
        refused.push_back(vbsFile);
        return false;
    }
    const std::wstring wscript = SystemProgramPath(L"wscript.exe");
    return !wscript.empty() && RunAndWait(runner, wscript, L"\"" + path + L"\"");
}
