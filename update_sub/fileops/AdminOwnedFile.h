#pragma once
// Files that this program, running elevated, writes at fixed names in the
// tool folder, where a user may have put a file or a link of that name
// first: the write must land in a file of ours, which users may read (the
// client's setup reads it) but not change.
#include <string>

#include "win/handle.h"

// Makes the path name a file of ours. One that is there stays when it is a
// plain file with one name, owned by SYSTEM or the Administrators, whose
// protected list lets others do no more than read it (IsOwnEntry); anything
// else (a link, a folder, a file with another name, owner or list) is set
// aside unread, and a new empty file is made, owned by the Administrators,
// that users may only read. A link that the system follows even when asked
// not to (Wine does so for a link to a file) cannot be moved without the
// file it leads to: the new file replaces it. False, with the last error,
// when none of this can be had. Under Wine, which keeps no owners, whatever
// is there is set aside.
bool PrepareAdminOwnedFile(const std::wstring& path);

// A file that PrepareAdminOwnedFile made ours, opened through a handle that
// follows no link, for reading and writing, shared for both but not for
// delete: while the handle is held, the name stays the file's, and what goes
// through the handle goes into that file whatever its name leads to. Its
// read-only and hidden flags are cleared. Empty when the path holds anything
// but a plain file with one name.
win::FileHandle HoldAdminOwnedFile(const std::wstring& path);

// Writes the bytes over the content of a file that PrepareAdminOwnedFile
// made ours, through HoldAdminOwnedFile's handle. False when the path holds
// anything but a plain file with one name, or the write fails.
bool OverwriteAdminOwnedFile(const std::wstring& path, const std::string& bytes);
