#include "SetAsideEntries.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "win/handle.h"

namespace {

bool AllOf(const std::wstring& text, std::size_t at, std::size_t count, int (*kind)(wint_t)) {
    return text.size() >= at + count && std::all_of(text.begin() + at, text.begin() + at + count, kind);
}

// The part after ".aside": the time to the second, "-", 64 random bits.
bool IsAsideSuffix(const std::wstring& suffix) {
    return suffix.size() == 31 && AllOf(suffix, 0, 14, std::iswdigit) && suffix[14] == L'-' &&
           AllOf(suffix, 15, 16, std::iswxdigit);
}

}  // namespace

std::vector<std::wstring> SetAsideEntries(const std::wstring& path) {
    std::vector<std::wstring> entries;
    const std::size_t nameAt = path.find_last_of(L'\\') + 1;
    const std::size_t suffixAt = path.size() - nameAt + 6;  // after the name's ".aside"
    WIN32_FIND_DATAW found;
    const win::FindHandle search(FindFirstFileW((path + L".aside*").c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found)) {
        const std::wstring name = found.cFileName;
        if (IsAsideSuffix(name.substr(suffixAt))) entries.push_back(path.substr(0, nameAt) + name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}
