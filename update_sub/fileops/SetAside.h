#pragma once
// Moving something out of a path this program needs, without opening,
// following or emptying it: what a user left there stays as it was, under a
// name beside it.
#include <string>

// Renames whatever is at `path` (a folder, a file or a link: the entry is
// opened without following a link and renamed through that handle, so a
// link itself is moved, never what it points to) to path + ".aside" + the
// UTC time + "-" + sixteen random hex digits. A user cannot make every such
// name in advance, so nothing planted can keep the path taken. False, with
// the last error, when the entry cannot be opened or renamed, or no random
// part can be had; a link that opens as what it leads to (as a host link
// does under Wine) is refused with ERROR_CANT_RESOLVE_FILENAME.
bool SetAside(const std::wstring& path);
