#pragma once
// What a handle tells of the file or folder it has open: its kind and where
// it really is, so that what is judged is what was opened, not what a path
// names a moment later (its owner and access list: EntrySecurity).
#include <windows.h>

#include <string>

// Not a folder, not a link (a reparse point), and no second name: a hard
// link would lead a write to the file of its other name.
bool IsPlainFile(HANDLE entry);

// Where the open file or folder really is, links in its path followed, as
// "C:\..." or "\\server\..."; empty when it cannot be had.
std::wstring FinalPath(HANDLE entry);

// A link that was followed although the open asked not to (Wine follows a
// link to a file): the handle has what it leads to, not the entry at the
// path. True too when either place cannot be told.
bool LeadsElsewhere(HANDLE entry, const std::wstring& path);

// IsPlainFile, and it stands at the path itself.
bool IsPlainFileAt(HANDLE entry, const std::wstring& path);

// Renames the entry open in `entry` (opened with DELETE) to the full path
// `newPath`, through its handle, whatever its name leads to meanwhile; what
// stands at `newPath` is replaced only when `replace` is set. False, with
// the last error, when it cannot be renamed (ERROR_ALREADY_EXISTS: the name
// is taken).
bool RenameOpened(HANDLE entry, const std::wstring& newPath, bool replace);
