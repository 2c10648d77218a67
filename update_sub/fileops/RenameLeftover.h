#pragma once
// What a rename round trip (ShellRenameRoundTrip) of an earlier run left
// when it could not rename back: the folder under path + ".rename". Left
// there, it makes every later round trip fail, for ever.
#include <string>

// Before a round trip of `path`: when the folder is missing and its
// ".rename" exists, it is renamed back; when both exist, the ".rename" is
// set aside (SetAside). False, with the last error, when that rename fails.
bool ClearRenameLeftover(const std::wstring& path);
