// The durable replace: new file written, flushed, and moved in with
// write-through.
#include "qen_lib/fu_replace.h"

#include <windows.h>

#include <new>

#include "fu_replace_seams.h"
#include "fu_stream.h"
#include "win/handle.h"

namespace {

// The new file's data on the disk. The writer has closed its own handles: a
// flush through any handle of a file writes all of its cached data.
int Flush(const std::wstring& path) {
    using namespace qen_lib::fu_detail;
    SetLastError(0);
    const win::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !flush_function()(file.get())) return failure_code(0);
    return 0;
}

}  // namespace

std::wstring FU_NewFilePath(const std::wstring& path) { return path + L".new"; }

int FU_WriteNewFile(const std::wstring& path, const FU_NewFileWriter& write) try {
    const std::wstring new_path = FU_NewFilePath(path);
    if (const int error = write(new_path)) return error;
    return Flush(new_path);
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

int FU_MoveNewFileIn(const std::wstring& path) try {
    using namespace qen_lib::fu_detail;
    const std::wstring new_path = FU_NewFilePath(path);
    SetLastError(0);
    if (move_function()(new_path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return failure_code(0);
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

void FU_DeleteNewFile(const std::wstring& path) try {
    const DWORD error = GetLastError();
    DeleteFileW(FU_NewFilePath(path).c_str());
    SetLastError(error);
} catch (const std::bad_alloc&) {
    // Without memory for its name the new file stays; the next replace
    // truncates it.
}

int FU_ReplaceFile(const std::wstring& path, const FU_NewFileWriter& write) {
    int error = FU_WriteNewFile(path, write);
    if (error == 0) error = FU_MoveNewFileIn(path);
    if (error != 0) FU_DeleteNewFile(path);
    return error;
}

namespace qen_lib::fu_detail {

FlushFunction& flush_function() {
    static FlushFunction flush = ::FlushFileBuffers;
    return flush;
}

MoveFunction& move_function() {
    static MoveFunction move = ::MoveFileExW;
    return move;
}

}  // namespace qen_lib::fu_detail
