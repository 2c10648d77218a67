#pragma once
// Files that this program, running elevated, writes at fixed names in the
// tool folder, where a user may have put a file or a link of that name
// first: the write must land in a file of ours, which users may read (the
// client's setup reads it) but not change.
#include <string>

#include "win/handle.h"

// Makes the path name a file of ours and holds it. One that is there stays
// when it is a plain file with one name, owned by SYSTEM or the
// Administrators, whose protected list lets others do no more than read it
// (IsOwnEntry); anything else (a link, a folder, a file with another name,
// owner or list) is set aside unread, and a new empty file is made, owned by
// the Administrators, that users may only read. A link that the system
// follows even when asked not to (Wine does so for a link to a file) cannot
// be moved without the file it leads to: the new file replaces it.
//
// The file comes back held: open for reading, shared for reading and writing
// but not for delete, its read-only and hidden flags cleared. It was judged,
// or made, by that handle, held from then on, so the name cannot be given to
// another file meanwhile, and what goes through the handle goes into the
// file judged. Empty, with the last error, when none of this can be had.
// Under Wine, which keeps no owners, whatever is there is set aside.
win::FileHandle TakeAdminOwnedFile(const std::wstring& path);

// The held file open for reading and writing, for one write: opened through
// the hold, never by name. Empty, with the last error, when it cannot be.
win::FileHandle OpenAdminOwnedFileToWrite(HANDLE held);
