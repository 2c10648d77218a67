#pragma once
// The new files of a save: each written beside its target under the
// target's name followed by ".new", flushed to the disk, and only then moved
// over the target, so that no move can reach the disk before the content it
// puts in place.
#include <windows.h>

#include <functional>
#include <string>

namespace vornpath::pki {

std::wstring NewFilePath(const std::wstring& target);

// Writes the new file of target through write (given the new file's path)
// and flushes it; false when either fails.
bool WriteNewFile(const std::wstring& target, const std::function<bool(const std::wstring&)>& write);

// Moves the new file over target in one step that is on the disk when it
// returns; false, with the last error set, when the move fails.
bool MoveNewFileIn(const std::wstring& target);

// Drops a new file that will not be moved in.
void DeleteNewFile(const std::wstring& target);

// WriteNewFile, then MoveNewFileIn; on failure the new file goes and target
// is as it was.
bool PutNewFileInPlace(const std::wstring& target, const std::function<bool(const std::wstring&)>& write);

namespace detail {

// The move that MoveNewFileIn makes: MoveFileExW, replaced only by the
// store's tests, to make a chosen move of a save fail.
using MoveFunction = BOOL(WINAPI*)(LPCWSTR from, LPCWSTR to, DWORD flags);
MoveFunction& move_function();

}  // namespace detail

}  // namespace vornpath::pki
