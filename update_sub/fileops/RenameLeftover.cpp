#include "fileops/RenameLeftover.h"

#include <windows.h>

#include "fileops/SetAside.h"

namespace {

// Anything at the path, a link included, not where it leads.
bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

bool ClearRenameLeftover(const std::wstring& path) {
    const std::wstring renamed = path + L".rename";
    if (!Exists(renamed)) return true;
    if (Exists(path)) return SetAside(renamed);
    return ::MoveFileExW(renamed.c_str(), path.c_str(), 0) != FALSE;
}
