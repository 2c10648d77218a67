#include "paths/PathExpansion.h"

#include <windows.h>

std::wstring ExpandPath(const std::wstring& pathTemplate) {
    // The first call tells the size the expansion needs, terminator included.
    DWORD needed = ExpandEnvironmentStringsW(pathTemplate.c_str(), nullptr, 0);
    while (needed != 0) {
        std::wstring expanded(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(pathTemplate.c_str(), &expanded[0], needed);
        if (written == 0) break;
        // The environment may have grown between the two calls: ask again.
        if (written > needed) {
            needed = written;
            continue;
        }
        expanded.resize(written - 1);
        return expanded;
    }
    return std::wstring();
}
