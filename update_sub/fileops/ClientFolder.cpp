#include "fileops/ClientFolder.h"

#include <windows.h>

bool HoldClientFolder(const std::wstring& directory, HeldFolder& held) {
    const std::wstring wrap = directory + L"\\.kvxwrap";
    const bool wrapMissing = ::GetFileAttributesW(wrap.c_str()) == INVALID_FILE_ATTRIBUTES &&
                             (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND);
    // Without it, what needs it fails by itself. Whoever could make one
    // meanwhile could change the client's own programs as well.
    return held.HoldExisting(wrapMissing ? directory : wrap);
}
