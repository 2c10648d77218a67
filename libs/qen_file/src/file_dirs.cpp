// Folder creation and removal.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "path_parts.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "win/handle.h"

namespace qen_lib::file {

namespace {

// Logs a folder operation's failure (action: "creation", "removal"), leaves
// its code as the last error and gives the false that the caller returns.
bool dir_failure(const wchar_t* function, int line, const wchar_t* action, DWORD error, const std::wstring& dir) {
    log::report(function, line, L"Directory %ls failed(0x%08x): dir=%ls", action, static_cast<unsigned>(error),
                dir.c_str());
    SetLastError(error);
    return false;
}

}  // namespace

bool file_exists(const std::wstring& path) {
    return FU_FileExists(path.c_str());
}

bool make_dirs(const std::wstring& dir) {
    if (file_exists(dir)) return dir_failure(L"qen_lib::file::make_dirs", 31, L"creation", ERROR_FILE_EXISTS, dir);
    // Relative paths are refused here (ERROR_BAD_PATHNAME).
    const int result = SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS) return true;
    log::report(L"qen_lib::file::make_dirs", 40, L"Directory creation failed(0x%08x): dir=%ls",
                static_cast<unsigned>(result), dir.c_str());
    return false;
}

bool make_parent_dirs(const std::wstring& path) try {
    const auto end = last_separator(path);
    if (end == std::wstring::npos) {
        log::report(L"qen_lib::file::make_parent_dirs", 49,
                    L"Parent directory name can't be derived: dir=%ls", path.c_str());
        return false;
    }
    return make_dirs(path.substr(0, end));
} catch (const std::bad_alloc&) {
    return dir_failure(L"qen_lib::file::make_parent_dirs", 49, L"creation", ERROR_NOT_ENOUGH_MEMORY, path);
}

namespace {

bool is_link(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The object itself, not what it may point to; held without delete sharing,
// so that its name cannot be given to another object while it is open.
win::FileHandle open_itself(const std::wstring& path, DWORD access) {
    return win::FileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
}

DWORD attributes_of(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO info = {};
    return ::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ? info.FileAttributes
                                                                                            : INVALID_FILE_ATTRIBUTES;
}

// Deletes a junction or symbolic link itself. Only when what is open is
// the link: a platform that follows links even when asked not to would
// delete the folder it points to, so there the link stays, and so does the
// tree around it.
DWORD remove_link(const std::wstring& path) {
    const win::FileHandle link = open_itself(path, DELETE | FILE_READ_ATTRIBUTES);
    if (!link) return ::GetLastError();
    if (!is_link(attributes_of(link.get()))) return ERROR_NOT_A_REPARSE_POINT;
    FILE_DISPOSITION_INFO remove = {TRUE};
    return ::SetFileInformationByHandle(link.get(), FileDispositionInfo, &remove, sizeof remove) ? 0
                                                                                                  : ::GetLastError();
}

DWORD remove_tree_at(const std::wstring& dir);

// Deletes one entry that a search of its folder found.
DWORD remove_entry(const std::wstring& path, DWORD attributes) {
    // Before any change of attributes, which Wine would make to the target.
    if (is_link(attributes)) return remove_link(path);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return remove_tree_at(path);
    return ::DeleteFileW(path.c_str()) ? 0 : ::GetLastError();
}

// Deletes what the folder holds; the first error's code, or 0.
DWORD remove_contents(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    win::FindHandle search(::FindFirstFileW((dir + L"\\*").c_str(), &found));
    if (!search) return ::GetLastError();
    DWORD first_error = 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD error = remove_entry(dir + L'\\' + name, found.dwFileAttributes);
        if (error && !first_error) first_error = error;
    } while (::FindNextFileW(search.get(), &found));
    return first_error;
}

// Deletes what the folder holds and then the folder; a link in its place is
// removed, never entered. The first error's code, or 0.
DWORD remove_tree_at(const std::wstring& dir) {
    // Held while its contents go: its name cannot be given to a link then.
    win::FileHandle held = open_itself(dir, FILE_READ_ATTRIBUTES);
    if (!held) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
    }
    // The name's own attributes too: under Wine the handle shows the folder
    // that a link points to, and only the name shows the link.
    const bool link = is_link(attributes_of(held.get())) || is_link(::GetFileAttributesW(dir.c_str()));
    const DWORD error = link ? 0 : remove_contents(dir);
    held.reset();
    if (link) return remove_link(dir);
    if (error) return error;
    return ::RemoveDirectoryW(dir.c_str()) ? 0 : ::GetLastError();
}

}  // namespace

bool remove_tree(const std::wstring& dir) {
    // Never a relative or empty path: "\\*" below would then search the
    // current drive's root.
    const bool absolute = dir.size() > 2 && ((dir[1] == L':' && dir[2] == L'\\') || dir.compare(0, 2, L"\\\\") == 0);
    DWORD error = ERROR_BAD_PATHNAME;
    try {
        if (absolute) error = remove_tree_at(dir);
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    return error == 0 || dir_failure(L"qen_lib::file::remove_tree", 110, L"removal", error, dir);
}

}  // namespace qen_lib::file
