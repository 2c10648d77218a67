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
// The hold itself only reads data (which binds it to the sharing rules) and
// attributes, so a reader that shares nothing but reading, as the client's
// setup may, can still open the file; write access is had only for a write.
constexpr DWORD kHoldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ACCESS_MASK kHoldAccess = READ_CONTROL | FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr ACCESS_MASK kWriteAccess = GENERIC_READ | GENERIC_WRITE;

enum class Found { Nothing, OurFile, FollowedLink, Other };

// What is at the path, looked at without following a link; a file of ours
// comes back in `judged`, held by the very open that judged it.
Found Inspect(const std::wstring& path, win::FileHandle& judged) {
    win::FileHandle entry = OpenItself(path, kHoldAccess, kHoldSharing);
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
    win::FileHandle file = CreateReadableByUsers(fresh, kHoldAccess | DELETE);
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

}  // namespace

win::FileHandle TakeAdminOwnedFile(const std::wstring& path) {
    win::FileHandle judged;
    switch (Inspect(path, judged)) {
    case Found::OurFile:
        // A read-only flag would refuse every write.
        return ClearReadOnlyAndHidden(judged.get()) ? std::move(judged) : win::FileHandle();
    case Found::FollowedLink:
        return ReplaceFollowedLink(path);
    case Found::Other:
        if (!SetAside(path)) return {};
        break;
    case Found::Nothing:
        break;
    }
    return CreateReadableByUsers(path, kHoldAccess);
}

win::FileHandle OpenAdminOwnedFileToWrite(HANDLE held) {
    // The hold keeps the name, so this handle may share delete; it must not
    // refuse the hold's own delete access, which a replaced link's has.
    win::FileHandle file(::ReOpenFile(held, kWriteAccess, kHoldSharing | FILE_SHARE_DELETE, 0));
    // Windows reopens the very file held; Wine goes by the name it had, so
    // the new handle must be shown to have that file open.
    if (!file || IsSameEntry(file.get(), held)) return file;
    ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return {};
}
