#pragma once
// Where SetAside put what lay at a path: beside it, under the path's name
// with ".aside", the time and a random part.
#include <string>
#include <vector>

// The full paths of the entries (links included) named path + ".aside" +
// 14 digits + "-" + 16 hex digits, sorted; names of any other form, such as
// a user could make in advance, are left out.
std::vector<std::wstring> SetAsideEntries(const std::wstring& path);
