// FU_WriteFileEx: the safe writer.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "fu_stream.h"
#include "qen_lib/fu.h"

int FU_WriteFileEx(const wchar_t* path, FU_WriteFunc func, void* user, int type) try {
    using namespace qen_lib::fu_detail;
    // A folder that cannot be made shows up as the open's error below.
    FU_CreateParentDir(path);

    const std::wstring new_path = std::wstring(path) + L".new";
    qen_lib::CrtFile stream;
    if (const int error = open_stream(new_path.c_str(), write_mode(type), stream)) return error;
    // On a writer's failure the ".new" file stays and the target is untouched.
    if (const int error = func(stream.get(), user)) return error;
    if (std::ferror(stream.get())) return crt_error_code();
    errno = 0;
    if (qen_lib::close_checked(stream) != 0) return crt_error_code();

    // One step from the old content to the new: there is no moment without
    // a target, and the move is on disk when we return.
    if (!MoveFileExW(new_path.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failure_code(0);
    return 0;
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}
