#pragma once
// What an entry opened without following a link is: a folder, a link.
#include <windows.h>

#include <string>

// The attributes of the entry open in `entry` (opened with
// FILE_FLAG_OPEN_REPARSE_POINT) joined with those its path reads back:
// Wine shows a link made on the host's side only through the path. All bits
// set (INVALID_FILE_ATTRIBUTES, which counts as a link) when either cannot
// be read.
DWORD EntryAttributes(HANDLE entry, const std::wstring& path);

// A real folder: a folder, and no link.
bool IsPlainFolder(DWORD attributes);
