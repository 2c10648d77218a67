#include "install/ChildEnvironment.h"

#include <windows.h>
#include <userenv.h>

#include <algorithm>
#include <cwchar>

#include "win/handle.h"

namespace {

// The name of a "NAME=value" entry; one may begin with "=" ("=C:=C:\").
std::wstring NameOf(const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); }

bool SameName(const std::wstring& name, const wchar_t* other) {
    return ::CompareStringOrdinal(name.c_str(), -1, other, -1, TRUE) == CSTR_EQUAL;
}

// Windows keeps a block sorted by name, whatever the case, in ordinal order.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(NameOf(a).c_str(), -1, NameOf(b).c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

}  // namespace

std::vector<wchar_t> MakeChildEnvironment(const std::wstring& tempFolder) {
    win::KernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, token.put()))
        return {};
    win::EnvironmentBlock built;
    if (!::CreateEnvironmentBlock(built.put(), token.get(), FALSE)) return {};
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = static_cast<const wchar_t*>(built.get()); *entry; entry += std::wcslen(entry) + 1)
        if (!SameName(NameOf(entry), L"TEMP") && !SameName(NameOf(entry), L"TMP")) entries.emplace_back(entry);
    entries.push_back(L"TEMP=" + tempFolder);
    entries.push_back(L"TMP=" + tempFolder);
    std::stable_sort(entries.begin(), entries.end(), NameBefore);
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}
