#pragma once
// The durable replace of a file: its new content is written beside it under
// its name followed by ".new", flushed to the disk, and moved over it in one
// step that is itself on the disk when the move returns, so that after a
// power loss the file holds its old content or the whole new one, never a
// name without its data. As the other FU_ functions, these return 0 or an
// error code (the writer's own, or a system error code) and log nothing;
// running out of memory is ERROR_NOT_ENOUGH_MEMORY.
#include <functional>
#include <string>

// Writes the new file at the path it is given; 0, or a code that is never 0
// for a failure.
using FU_NewFileWriter = std::function<int(const std::wstring& new_path)>;

// path + ".new" (a string that, as any, may throw std::bad_alloc).
std::wstring FU_NewFilePath(const std::wstring& path);

// The writer, then the new file's data flushed to the disk. The new file
// stays whatever happens: a caller that moves it in later removes it itself
// on failure.
int FU_WriteNewFile(const std::wstring& path, const FU_NewFileWriter& write);

// The new file moved over path, replacing it, with MOVEFILE_WRITE_THROUGH;
// on failure both files are as they were.
int FU_MoveNewFileIn(const std::wstring& path);

// Removes a new file that will not be moved in, keeping the last error.
void FU_DeleteNewFile(const std::wstring& path);

// The three together: on any failure path is as it was and the new file is
// gone.
int FU_ReplaceFile(const std::wstring& path, const FU_NewFileWriter& write);
