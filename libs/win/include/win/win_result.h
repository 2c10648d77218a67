#pragma once
// Results in the BOOL-and-SetLastError style. The work returns a Win32 error
// code (ERROR_SUCCESS for success) once its own handles are closed, and only
// then is the code set, so that no clean-up call can change what the caller
// sees.
#include <windows.h>

namespace qen_lib {

// The thread's last error of a failed call; fallback when the call left none,
// so that a failure is never reported as success.
inline DWORD last_error_or(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

inline BOOL report(DWORD error) {
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

}  // namespace qen_lib
