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

// Deletes what the folder holds and then the folder; the first error's
// code, or 0.
DWORD remove_tree_at(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    win::FindHandle search(::FindFirstFileW((dir + L"\\*").c_str(), &found));
    if (!search) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
        return error;
    }
    DWORD first_error = 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = dir + L'\\' + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            ::SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        DWORD error = 0;
        if (folder && !link)
            error = remove_tree_at(path);
        else if (!(folder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str())))
            error = ::GetLastError();
        if (error && !first_error) first_error = error;
    } while (::FindNextFileW(search.get(), &found));
    search.reset();
    if (first_error) return first_error;
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
