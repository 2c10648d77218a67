#include "fileops/AdminOwnedFile.h"

#include <windows.h>
#include <sddl.h>

#include <string>

#include "entries/EntryItself.h"
#include "fileops/EntrySecurity.h"
#include "fileops/OpenedEntry.h"
#include "fileops/SetAside.h"
#include "win/handle.h"

namespace {

// Owner Administrators; the list protected from the folder's entries; full
// control for SYSTEM and the Administrators, reading for users.
constexpr wchar_t kReadableByUsers[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";
// What that list gives others; a file that gives them more is not ours.
constexpr ACCESS_MASK kUsersRights = FILE_GENERIC_READ;

// Held: others may read and write beside us, but never rename or delete it.
constexpr DWORD kHoldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ACCESS_MASK kWriteAccess = GENERIC_READ | GENERIC_WRITE;

enum class Found { Nothing, OurFile, FollowedLink, Other };

// What is at the path, looked at without following a link; a file of ours
// comes back in `judged`, held by the very open that judged it (reading
// data binds the handle to the sharing rules; attributes alone would not),
// open to have its flags cleared.
Found Inspect(const std::wstring& path, win::FileHandle& judged) {
    win::FileHandle entry = OpenItself(
        path, READ_CONTROL | FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kHoldSharing);
    if (!entry) return ::GetLastError() == ERROR_FILE_NOT_FOUND ? Found::Nothing : Found::Other;
    if (LeadsElsewhere(entry.get(), path)) return Found::FollowedLink;
    if (!IsPlainFile(entry.get()) || !IsOwnEntry(entry.get(), kUsersRights)) return Found::Other;
    judged = std::move(entry);
    return Found::OurFile;
}

// CREATE_NEW opens nothing that is there, a link included.
win::FileHandle CreateReadableByUsers(const std::wstring& path, ACCESS_MASK access) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kReadableByUsers, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return {};
    const win::LocalMemory held(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    return win::FileHandle(::CreateFileW(path.c_str(), access, kHoldSharing, &attributes, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Moving a followed link aside would move the file it leads to; a new file
// renamed, through its own handle, onto its name replaces the link itself.
win::FileHandle ReplaceFollowedLink(const std::wstring& path) {
    const std::wstring fresh = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".new";
    win::FileHandle file = CreateReadableByUsers(fresh, kWriteAccess | DELETE);
    if (!file || RenameOpened(file.get(), path, true)) return file;
    const DWORD error = ::GetLastError();
    FILE_DISPOSITION_INFO remove = {TRUE};
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove);
    ::SetLastError(error);
    return {};
}

bool ClearReadOnlyAndHidden(HANDLE file) {
    FILE_BASIC_INFO info = {};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info)) return false;
    const DWORD cleared = info.FileAttributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    if (cleared == info.FileAttributes) return true;
    // No attribute at all would mean "leave them as they are".
    info.FileAttributes = cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info) != FALSE;
}

// The judged file of ours, open for writing: a read-only flag would refuse
// that open, so it is cleared first. While `judged` holds the name, the
// name leads to that file; the new handle must have it open all the same.
win::FileHandle OpenForWriting(const std::wstring& path, HANDLE judged) {
    if (!ClearReadOnlyAndHidden(judged)) return {};
    win::FileHandle file = OpenItself(path, kWriteAccess, kHoldSharing);
    if (!file || IsSameEntry(file.get(), judged)) return file;
    ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return {};
}

}  // namespace

win::FileHandle TakeAdminOwnedFile(const std::wstring& path) {
    win::FileHandle judged;
    switch (Inspect(path, judged)) {
    case Found::OurFile:
        return OpenForWriting(path, judged.get());
    case Found::FollowedLink:
        return ReplaceFollowedLink(path);
    case Found::Other:
        if (!SetAside(path)) return {};
        break;
    case Found::Nothing:
        break;
    }
    return CreateReadableByUsers(path, kWriteAccess);
}
