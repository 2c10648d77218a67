// Folder creation.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "path_parts.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"

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

}  // namespace qen_lib::file
