// Folder creation and removal.
#include <windows.h>
#include <shlobj.h>

#include <new>
#include <utility>

#include "path_parts.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "tree_removal.h"

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

// Runs a removal (a callable giving 0 or the first error's code) and logs
// its failure, running out of memory included, as function's.
template <class Removal>
bool removed(const wchar_t* function, int line, const std::wstring& dir, Removal removal) {
    DWORD error;
    try {
        error = removal();
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    return error == 0 || dir_failure(function, line, L"removal", error, dir);
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

bool remove_tree(const std::wstring& dir) {
    // Never a relative or empty path: the current folder would decide what
    // it names.
    const bool absolute = dir.size() > 2 && ((dir[1] == L':' && dir[2] == L'\\') || dir.compare(0, 2, L"\\\\") == 0);
    return removed(L"qen_lib::file::remove_tree", 110, dir,
                   [&] { return absolute ? remove_tree_at(dir) : ERROR_BAD_PATHNAME; });
}

bool remove_tree(win::FileHandle folder, const std::wstring& dir) {
    return removed(L"qen_lib::file::remove_tree", 118, dir, [&] { return remove_held_tree(std::move(folder)); });
}

bool empty_tree(win::FileHandle folder, const std::wstring& dir) {
    return removed(L"qen_lib::file::empty_tree", 126, dir, [&] { return empty_held_tree(std::move(folder)); });
}

}  // namespace qen_lib::file
