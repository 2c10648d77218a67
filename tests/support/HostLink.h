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
