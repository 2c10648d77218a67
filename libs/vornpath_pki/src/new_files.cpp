// Writing, flushing and moving in the new files of a save.
#include "new_files.h"

#include "win/handle.h"

namespace vornpath::pki {

namespace {

// The file's content on the disk. The writer has closed its own handle: a
// flush through any handle of the file writes all of its data.
bool FlushFile(const std::wstring& path) {
    const win::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                    nullptr));
    return file && FlushFileBuffers(file.get());
}

}  // namespace

std::wstring NewFilePath(const std::wstring& target) { return target + L".new"; }

bool WriteNewFile(const std::wstring& target, const std::function<bool(const std::wstring&)>& write) {
    const std::wstring path = NewFilePath(target);
    return write(path) && FlushFile(path);
}

bool MoveNewFileIn(const std::wstring& target) {
    return detail::move_function()(NewFilePath(target).c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void DeleteNewFile(const std::wstring& target) { DeleteFileW(NewFilePath(target).c_str()); }

bool PutNewFileInPlace(const std::wstring& target, const std::function<bool(const std::wstring&)>& write) {
    if (WriteNewFile(target, write) && MoveNewFileIn(target)) return true;
    DeleteNewFile(target);
    return false;
}

namespace detail {

MoveFunction& move_function() {
    static MoveFunction move = ::MoveFileExW;
    return move;
}

}  // namespace detail

}  // namespace vornpath::pki
