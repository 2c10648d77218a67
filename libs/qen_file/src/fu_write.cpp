// FU_WriteFileEx: the safe writer.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "fu_stream.h"
#include "qen_lib/fu.h"
#include "qen_lib/fu_replace.h"

int FU_WriteFileEx(const wchar_t* path, FU_WriteFunc func, void* user, int type) try {
    using namespace qen_lib::fu_detail;
    // A folder that cannot be made shows up as the open's error below.
    FU_CreateParentDir(path);
    return FU_ReplaceFile(path, [func, user, type](const std::wstring& new_path) {
        qen_lib::CrtFile stream;
        if (const int error = open_stream(new_path.c_str(), write_mode(type), stream)) return error;
        if (const int error = func(stream.get(), user)) return error;
        if (std::ferror(stream.get())) return crt_error_code();
        errno = 0;
        return qen_lib::close_checked(stream) == 0 ? 0 : crt_error_code();
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}
