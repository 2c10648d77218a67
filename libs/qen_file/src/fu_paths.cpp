// FU_FileExists and FU_CreateParentDir.
#include <windows.h>
#include <shlobj.h>

#include <new>
#include <string>

#include "path_parts.h"
#include "qen_lib/fu.h"

bool FU_FileExists(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int FU_CreateParentDir(const wchar_t* path) try {
    const std::wstring text(path);
    const auto end = qen_lib::last_separator(text);
    if (end == std::wstring::npos) return 0;
    return SHCreateDirectoryExW(nullptr, text.substr(0, end).c_str(), nullptr);
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}
