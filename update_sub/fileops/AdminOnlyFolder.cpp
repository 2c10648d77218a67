#include "fileops/AdminOnlyFolder.h"

#include <windows.h>
#include <sddl.h>

#include "fileops/OpenedEntry.h"
#include "qen_lib/file.h"
#include "win/handle.h"

namespace {

// Owner Administrators; the list protected from the parent's entries; full
// control for SYSTEM and the Administrators on the folder, its subfolders
// and files.
constexpr wchar_t kAdminOnly[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// How many names beside the path are tried for what is moved aside.
constexpr int kAsideNames = 100;

enum class Found { Nothing, OurFolder, Other };

// What is at the path, looked at without following a link.
Found Inspect(const std::wstring& path) {
    const win::FileHandle entry(::CreateFileW(path.c_str(), READ_CONTROL,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                              nullptr));
    if (!entry) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Found::Nothing : Found::Other;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(entry.get(), &info)) return Found::Other;
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool ours = folder && !link && HasTrustedOwner(entry.get(), TrustedOwners::SystemOrAdministrators);
    return ours ? Found::OurFolder : Found::Other;
}

// A rename moves a link itself, never what it points to.
bool MoveAside(const std::wstring& path) {
    for (int n = 1; n <= kAsideNames; ++n) {
        if (::MoveFileExW(path.c_str(), (path + L".aside" + std::to_wstring(n)).c_str(), 0)) return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

}  // namespace

bool CreateAdminOnlyFolder(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminOnly, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const win::LocalMemory held(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    return ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

bool RemakeAdminOnlyFolder(const std::wstring& path) {
    switch (Inspect(path)) {
    case Found::Nothing:
        break;
    case Found::OurFolder:
        if (!qen_lib::file::remove_tree(path)) return false;
        break;
    case Found::Other:
        if (!MoveAside(path)) return false;
        break;
    }
    return CreateAdminOnlyFolder(path);
}

bool SetAside(const std::wstring& path) { return MoveAside(path); }
