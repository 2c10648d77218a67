#include "fu_stream.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "qen_lib/fu.h"

namespace qen_lib::fu_detail {

const wchar_t* read_mode(int type) {
    switch (type) {
    case FU_TYPE_UTF8: return L"rt, ccs=UTF-8";
    case FU_TYPE_UTF16: return L"rt, ccs=UNICODE";
    default: return L"rt";
    }
}

const wchar_t* write_mode(int type) {
    switch (type) {
    case FU_TYPE_UTF8: return L"wt, ccs=UTF-8";
    case FU_TYPE_UTF16: return L"wt, ccs=UNICODE";
    default: return L"wt";
    }
}

int failure_code(int crt_error) {
    const DWORD system_error = GetLastError();
    if (system_error != 0) return static_cast<int>(system_error);
    return crt_error != 0 ? crt_error : ERROR_GEN_FAILURE;
}

int crt_error_code() {
    return errno != 0 ? errno : ERROR_GEN_FAILURE;
}

int open_stream(const wchar_t* path, const wchar_t* mode, CrtFile& stream) {
    // A stale last error must not be taken for the cause of this open.
    SetLastError(0);
    FILE* raw = nullptr;
    const errno_t err = _wfopen_s(&raw, path, mode);
    stream.reset(raw);
    if (err != 0) return failure_code(err);
    return raw ? 0 : ERROR_INVALID_HANDLE;  // 6: success reported without a stream
}

}  // namespace qen_lib::fu_detail
