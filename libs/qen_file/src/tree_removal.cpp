// Folder trees removed through handles.
#include "tree_removal.h"

#include <winternl.h>

#include <vector>

#include "qen_lib/nt_create.h"

namespace qen_lib::file {

namespace {

// Listing binds a folder's handle to the sharing rules (an open for
// attributes alone does not), and delete is not shared: while it is held,
// nobody can rename or remove the folder, or put a link in its place. Delete
// and attributes, so that an entry is cleared and deleted through the very
// handle it was judged by.
constexpr ACCESS_MASK kEntryAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr ACCESS_MASK kFolderAccess = kEntryAccess | FILE_LIST_DIRECTORY;
constexpr ULONG kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// An entry as its folder's listing shows it.
struct Listed {
    std::wstring name;
    DWORD attributes;
};

bool is_link(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool is_folder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD attributes_of(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO info = {};
    return ::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &info, sizeof info) ? info.FileAttributes
                                                                                            : INVALID_FILE_ATTRIBUTES;
}

// What the held folder holds, "." and ".." aside, read through its handle.
DWORD list_folder(HANDLE folder, std::vector<Listed>& entries) {
    std::vector<LONGLONG> buffer(8192);  // 64 KiB, aligned as the records need
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
        if (!::GetFileInformationByHandleEx(folder, kind, buffer.data(), size)) break;
        for (auto record = reinterpret_cast<const char*>(buffer.data());;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") entries.push_back({std::move(name), info->FileAttributes});
            if (info->NextEntryOffset == 0) break;
            record += info->NextEntryOffset;
        }
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND ? 0 : error;
}

// The listed entry itself, never where a link leads, opened relative to its
// folder's handle, by its exact name, and only as the kind of entry that the
// listing showed. Empty, with the last error, when it cannot be opened.
win::FileHandle open_entry(HANDLE folder, const Listed& listed) {
    const bool listed_folder = is_folder(listed.attributes);
    return nt_create(folder, listed.name, listed_folder ? kFolderAccess : kEntryAccess, kSharing, FILE_OPEN,
                     (listed_folder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE) | FILE_OPEN_REPARSE_POINT |
                         FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT);
}

// The attributes that a change through a handle may set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_TEMPORARY;

// Marks the open entry, whose attributes are `own`, to go when its last
// handle closes; a read-only flag, which would keep it, is cleared through
// the same handle first, its other flags kept.
DWORD delete_through(HANDLE entry, DWORD own) {
    if (own & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFO basic = {};  // times of 0 stay as they are
        const DWORD kept = own & kSettableAttributes;
        basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
        if (!::SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic)) return ::GetLastError();
    }
    FILE_DISPOSITION_INFO remove = {TRUE};
    return ::SetFileInformationByHandle(entry, FileDispositionInfo, &remove, sizeof remove) ? 0 : ::GetLastError();
}

DWORD remove_opened(HANDLE entry, DWORD seen);

// Deletes what the held folder holds, each entry through its own handle;
// the first error's code, or 0.
DWORD empty_folder(HANDLE folder) {
    if (const detail::HeldFolderHook hook = detail::held_folder_hook()) hook(folder);
    std::vector<Listed> entries;
    DWORD first_error = list_folder(folder, entries);
    for (const Listed& listed : entries) {
        const win::FileHandle entry = open_entry(folder, listed);
        const DWORD error = entry ? remove_opened(entry.get(), listed.attributes) : ::GetLastError();
        if (error && !first_error) first_error = error;
    }
    return first_error;
}

// Deletes an entry opened itself, its attributes `own`: a link itself,
// before any change of attributes; a folder with everything in it; a file.
// `seen`: the attributes that its name or its folder's listing shows, which
// alone show a link made on the host's side under Wine, whose handle holds
// what the link leads to: such a link stays, and so does the folder around it.
DWORD remove_judged(HANDLE entry, DWORD own, DWORD seen) {
    if (is_link(own | seen)) return is_link(own) ? delete_through(entry, 0) : ERROR_NOT_A_REPARSE_POINT;
    if (!is_folder(own)) return delete_through(entry, own);
    const DWORD error = empty_folder(entry);
    return error ? error : delete_through(entry, own);
}

DWORD remove_opened(HANDLE entry, DWORD seen) {
    const DWORD own = attributes_of(entry);
    return own == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : remove_judged(entry, own, seen);
}

// The top of a tree is a folder or a link in its place, never a file.
DWORD remove_top(HANDLE top, DWORD seen) {
    const DWORD own = attributes_of(top);
    if (own == INVALID_FILE_ATTRIBUTES) return ::GetLastError();
    if (!is_folder(own) && !is_link(own | seen)) return ERROR_DIRECTORY;
    return remove_judged(top, own, seen);
}

}  // namespace

DWORD remove_tree_at(const std::wstring& dir) {
    const win::FileHandle top(::CreateFileW(dir.c_str(), kFolderAccess, kSharing, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!top) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
    }
    // Read once it is held: the name cannot be given to another object now.
    return remove_top(top.get(), ::GetFileAttributesW(dir.c_str()));
}

DWORD remove_held_tree(win::FileHandle folder) {
    return remove_top(folder.get(), 0);
}

DWORD empty_held_tree(win::FileHandle folder) {
    return empty_folder(folder.get());
}

namespace detail {

HeldFolderHook& held_folder_hook() {
    static HeldFolderHook hook = nullptr;
    return hook;
}

}  // namespace detail

}  // namespace qen_lib::file
