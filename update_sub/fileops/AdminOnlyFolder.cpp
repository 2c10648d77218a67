#include "fileops/AdminOnlyFolder.h"

#include <windows.h>
#include <sddl.h>

#include "entries/EntryItself.h"
#include "fileops/EntrySecurity.h"
#include "fileops/SetAside.h"
#include "qen_lib/file.h"
#include "qen_lib/nt_create.h"

namespace {

// Owner Administrators; the list protected from the parent's entries; full
// control for SYSTEM and the Administrators on the folder, its subfolders
// and files.
constexpr wchar_t kAdminOnly[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Listing binds the handle to the sharing rules (an open for attributes
// alone does not); delete is not shared, so the folder cannot be renamed
// or removed while it is held.
constexpr ACCESS_MASK kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// The folder itself, made or remade, is held with delete too: it is emptied
// and removed through that very hold, never by its name again. The folders
// kept above it are not, so that others may still list them.
constexpr ACCESS_MASK kRemovableHoldAccess = kHoldAccess | DELETE;
constexpr ULONG kHoldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

enum class Found { Nothing, OurFolder, Other };

// What is at the path, looked at without following a link; a folder of ours
// comes back held in `held`.
Found Inspect(const std::wstring& path, ACCESS_MASK access, win::FileHandle& held) {
    win::FileHandle entry = OpenItself(path, access | READ_CONTROL, kHoldSharing);
    if (!entry) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Found::Nothing : Found::Other;
    }
    // Ours gives nobody else anything: our folders' lists say so.
    if (!IsPlainFolder(EntryAttributes(entry.get(), path)) || !IsOwnEntry(entry.get(), 0)) return Found::Other;
    held = std::move(entry);
    return Found::OurFolder;
}

// CreateAdminOnlyFolder, held with `access`.
win::FileHandle CreateHeld(const std::wstring& path, ACCESS_MASK access) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminOnly, SDDL_REVISION_1, &descriptor, nullptr))
        return {};
    const win::LocalMemory heldDescriptor(descriptor);
    // CreateDirectoryW gives no handle, and a second open by name could find
    // a folder that a user renamed in meanwhile; the handle of the create
    // itself holds the folder that was made.
    return qen_lib::file::nt_create(nullptr, path, access, kHoldSharing, FILE_CREATE,
                                    FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT |
                                        FILE_OPEN_FOR_BACKUP_INTENT | FILE_OPEN_REPARSE_POINT,
                                    descriptor);
}

}  // namespace

win::FileHandle CreateAdminOnlyFolder(const std::wstring& path) {
    return CreateHeld(path, kRemovableHoldAccess);
}

win::FileHandle RemakeAdminOnlyFolder(const std::wstring& path) {
    win::FileHandle ours;
    const Found found = Inspect(path, kRemovableHoldAccess, ours);
    if (found == Found::OurFolder && !qen_lib::file::remove_tree(std::move(ours), path)) return {};
    if (found == Found::Other && !SetAside(path)) return {};
    return CreateAdminOnlyFolder(path);
}

win::FileHandle KeepOrMakeAdminOnlyFolder(const std::wstring& path) {
    win::FileHandle ours;
    const Found found = Inspect(path, kHoldAccess, ours);
    if (found == Found::OurFolder) return ours;
    if (found == Found::Other && !SetAside(path)) return {};
    return CreateHeld(path, kHoldAccess);
}
