#include "fileops/AdminOnlyFolder.h"

#include <windows.h>
#include <sddl.h>

#include "fileops/EntryAttributes.h"
#include "fileops/OpenedEntry.h"
#include "fileops/SetAside.h"
#include "qen_lib/file.h"
#include "win/handle.h"

namespace {

// Owner Administrators; the list protected from the parent's entries; full
// control for SYSTEM and the Administrators on the folder, its subfolders
// and files.
constexpr wchar_t kAdminOnly[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

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
    return IsPlainFolder(EntryAttributes(entry.get(), path)) &&
                   HasTrustedOwner(entry.get(), TrustedOwners::SystemOrAdministrators)
               ? Found::OurFolder
               : Found::Other;
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
    const Found found = Inspect(path);
    if (found == Found::OurFolder && !qen_lib::file::remove_tree(path)) return false;
    if (found == Found::Other && !SetAside(path)) return false;
    return CreateAdminOnlyFolder(path);
}

bool KeepOrMakeAdminOnlyFolder(const std::wstring& path) {
    const Found found = Inspect(path);
    if (found == Found::OurFolder) return true;
    if (found == Found::Other && !SetAside(path)) return false;
    return CreateAdminOnlyFolder(path);
}
