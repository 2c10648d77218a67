#pragma once
// Where the folder part of a path ends.
#include <string>

namespace qen_lib {

// Position of the last '\' or '/', or npos when the path has neither.
inline std::wstring::size_type last_separator(const std::wstring& path) {
    return path.find_last_of(L"\\/");
}

}  // namespace qen_lib
