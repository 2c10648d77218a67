#pragma once
// Links as a user would plant them. A Windows program cannot make one under
// this Wine (mklink and CreateSymbolicLinkW make nothing), but a symbolic
// link made on the host's side is seen as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, and followed when opened or listed through:
// what a junction does on Windows.
#include <string>

// Makes `link` (which must not exist) a host link to the folder `target`;
// false when this is no Wine or the host's ln fails.
bool MakeHostLink(const std::wstring& link, const std::wstring& target);

// Makes `link` (which must not exist) a host link to the file `target`: a
// symbolic one, or (hard) a second name of it. Windows programs see a plain
// file at the link either way. False when this is no Wine or ln fails.
bool MakeHostFileLink(const std::wstring& link, const std::wstring& target, bool hard);

// Removes the host link `link` itself, never what it leads to; false when
// this is no Wine or the host's rm fails.
bool RemoveHostLink(const std::wstring& link);

// Whether Windows programs see a link (a reparse point) at the path.
bool IsLink(const std::wstring& path);

// Renames `from` to `to` on the host's side, which ignores every sharing
// rule (no Windows program can rename a folder held without delete
// sharing); false when this is no Wine or the host's mv fails.
bool MoveOnHost(const std::wstring& from, const std::wstring& to);
