#include "fileops/AdminOwnedFile.h"

#include <windows.h>
#include <sddl.h>

#include <string>

#include "fileops/EntrySecurity.h"
#include "fileops/HandleContents.h"
#include "fileops/OpenedEntry.h"
#include "fileops/SetAside.h"
#include "win/handle.h"

namespace {

// Owner Administrators; the list protected from the folder's entries; full
// control for SYSTEM and the Administrators, reading for users.
constexpr wchar_t kReadableByUsers[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";
// What that list gives others; a file that gives them more is not ours.
constexpr ACCESS_MASK kUsersRights = FILE_GENERIC_READ;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The entry at the path itself, never what a link there leads to.
win::FileHandle OpenEntry(const std::wstring& path, DWORD access, DWORD sharing) {
    return OpenItself(path, access | READ_CONTROL, sharing);
}

enum class Found { Nothing, OurFile, FollowedLink, Other };

Found Inspect(const std::wstring& path) {
    const win::FileHandle entry = OpenEntry(path, 0, kShareAll);
    if (!entry) return ::GetLastError() == ERROR_FILE_NOT_FOUND ? Found::Nothing : Found::Other;
    if (LeadsElsewhere(entry.get(), path)) return Found::FollowedLink;
    const bool ours = IsPlainFile(entry.get()) && IsOwnEntry(entry.get(), kUsersRights);
    return ours ? Found::OurFile : Found::Other;
}

// CREATE_NEW opens nothing that is there, a link included.
bool CreateReadableByUsers(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kReadableByUsers, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return false;
    const win::LocalMemory held(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const win::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

// Moving a followed link aside would move the file it leads to; a new file
// renamed onto its name replaces the link itself.
bool ReplaceFollowedLink(const std::wstring& path) {
    const std::wstring fresh = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".new";
    if (!CreateReadableByUsers(fresh)) return false;
    if (::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(fresh.c_str());
    ::SetLastError(error);
    return false;
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

bool PrepareAdminOwnedFile(const std::wstring& path) {
    switch (Inspect(path)) {
    case Found::OurFile:
        return true;
    case Found::FollowedLink:
        return ReplaceFollowedLink(path);
    case Found::Other:
        if (!SetAside(path)) return false;
        break;
    case Found::Nothing:
        break;
    }
    return CreateReadableByUsers(path);
}

win::FileHandle HoldAdminOwnedFile(const std::wstring& path) {
    {
        const win::FileHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll);
        if (!entry || !IsPlainFileAt(entry.get(), path) || !ClearReadOnlyAndHidden(entry.get())) return {};
    }
    win::FileHandle file = OpenEntry(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!file || !IsPlainFileAt(file.get(), path)) return {};
    return file;
}

bool OverwriteAdminOwnedFile(const std::wstring& path, const std::string& bytes) {
    const win::FileHandle file = HoldAdminOwnedFile(path);
    return file && WriteWholeFile(file.get(), bytes);
}
