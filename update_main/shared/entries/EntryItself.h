#pragma once
// A file or folder opened itself, never what a link at its path leads to,
// and what it is: a folder, a link. Both programs judge places that any
// user may write through such a handle, so that what is judged is what was
// opened, not what the path names a moment later.
#include <windows.h>

#include <string>

#include "win/handle.h"

// The entry at the path itself, a folder too, never what a link there leads
// to (though Wine follows a link made on the host's side all the same).
win::FileHandle OpenItself(const std::wstring& path, DWORD access, DWORD sharing);

// The attributes of the entry open in `entry` (opened with
// FILE_FLAG_OPEN_REPARSE_POINT) joined with those its path reads back:
// Wine shows a link made on the host's side only through the path. All bits
// set (INVALID_FILE_ATTRIBUTES, which counts as a link) when either cannot
// be read.
DWORD EntryAttributes(HANDLE entry, const std::wstring& path);

// A real folder: a folder, and no link.
bool IsPlainFolder(DWORD attributes);

// Whether both handles have the same file or folder open: the same volume
// and file index. False when either cannot be read.
bool IsSameEntry(HANDLE one, HANDLE other);

// The real folder at the path held open to list, shared for everything but
// delete: sharing binds only opens that may read, write or delete, so while
// it is held nobody can rename or remove it, and the path keeps naming it.
// Empty, with the last error, when it cannot be opened, or when a link or a
// file stands there (ERROR_CANT_RESOLVE_FILENAME).
win::FileHandle HoldPlainFolder(const std::wstring& path);
