// Folder creation.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "path_parts.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "win/handle.h"

namespace qen_lib::file {

bool file_exists(const std::wstring& path) {
    return FU_FileExists(path.c_str());
}

bool make_dirs(const std::wstring& dir) {
    if (file_exists(dir)) {
        log::report(L"qen_lib::file::make_dirs", 31, L"Directory creation failed(0x%08x): dir=%ls",
                    static_cast<unsigned>(ERROR_FILE_EXISTS), dir.c_str());
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
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
    log::report(L"qen_lib::file::make_parent_dirs", 49, L"Directory creation failed(0x%08x): dir=%ls",
                static_cast<unsigned>(ERROR_NOT_ENOUGH_MEMORY), path.c_str());
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
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

bool remove_tree(const std::wstring& dir) try {
    // Never a relative or empty path: "\\*" below would then search the
    // current drive's root.
    const bool absolute = dir.size() > 2 && ((dir[1] == L':' && dir[2] == L'\\') || dir.compare(0, 2, L"\\\\") == 0);
    const DWORD error = absolute ? remove_tree_at(dir) : ERROR_BAD_PATHNAME;
    if (error == 0) return true;
    log::report(L"qen_lib::file::remove_tree", 110, L"Directory removal failed(0x%08x): dir=%ls",
                static_cast<unsigned>(error), dir.c_str());
    SetLastError(error);
    return false;
} catch (const std::bad_alloc&) {
    log::report(L"qen_lib::file::remove_tree", 110, L"Directory removal failed(0x%08x): dir=%ls",
                static_cast<unsigned>(ERROR_NOT_ENOUGH_MEMORY), dir.c_str());
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

}  // namespace qen_lib::file
