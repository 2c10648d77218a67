#include "fileops/HeldFolder.h"

#include <windows.h>
#include <shlwapi.h>

#include "entries/EntryItself.h"
#include "fileops/AdminOnlyFolder.h"
#include "qen_lib/file.h"

namespace {

// Whatever is there is left for HoldPlainFolder to judge.
bool MakeOrdinaryFolder(const std::wstring& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// The folders of a sub-path, from the top down.
std::vector<std::wstring> FolderNames(const std::wstring& subpath) {
    std::vector<std::wstring> names;
    for (std::size_t at = 0, end = 0; at < subpath.size(); at = end + 1) {
        end = subpath.find(L'\\', at);
        if (end == std::wstring::npos) end = subpath.size();
        if (end > at) names.push_back(subpath.substr(at, end - at));
    }
    return names;
}

}  // namespace

bool HeldFolder::Make(const std::wstring& base, const std::wstring& subpath, int adminOnly, Last last) {
    const std::size_t admin = static_cast<std::size_t>(adminOnly > 0 ? adminOnly : 0);
    return Walk(base, subpath, [&](const std::wstring& path, std::size_t i, std::size_t count) {
        return MakeOne(path, i + admin < count, i + 1 == count, last);
    });
}

bool HeldFolder::Hold(const std::wstring& base, const std::wstring& subpath) {
    return Walk(base, subpath, [](const std::wstring& path, std::size_t, std::size_t) { return HoldPlainFolder(path); });
}

bool HeldFolder::Walk(const std::wstring& base, const std::wstring& subpath, const HoldOne& holdOne) {
    Release();
    m_path.clear();
    const std::vector<std::wstring> names = FolderNames(subpath);
    std::wstring path = base;
    for (std::size_t i = 0; i < names.size(); ++i) {
        path += L"\\" + names[i];
        win::FileHandle folder = holdOne(path, i, names.size());
        if (!folder) return Failed();
        m_held.push_back(std::move(folder));
    }
    m_path = path;
    return true;
}

bool HeldFolder::HoldExisting(const std::wstring& path) {
    const wchar_t* afterRoot = ::PathSkipRootW(path.c_str());
    if (!afterRoot) {
        m_path.clear();
        ::SetLastError(ERROR_BAD_PATHNAME);
        return Failed();
    }
    std::wstring root = path.substr(0, static_cast<std::size_t>(afterRoot - path.c_str()));
    if (!root.empty() && root.back() == L'\\') root.pop_back();
    return Hold(root, afterRoot);
}

void HeldFolder::Remove() { Clear(true); }

void HeldFolder::Empty() { Clear(false); }

void HeldFolder::Clear(bool itself) {
    if (m_held.empty()) return;
    // Through its own hold, never by its name again: the folders above are
    // still held, and nothing can be put in its place meanwhile.
    win::FileHandle folder = std::move(m_held.back());
    if (itself) {
        qen_lib::file::remove_tree(std::move(folder), m_path);
    } else {
        qen_lib::file::empty_tree(std::move(folder), m_path);
    }
    Release();
}

win::FileHandle HeldFolder::MakeOne(const std::wstring& path, bool ordinary, bool itself, Last last) {
    if (ordinary) return MakeOrdinaryFolder(path) ? HoldPlainFolder(path) : win::FileHandle();
    if (!itself) return KeepOrMakeAdminOnlyFolder(path);
    return last == Last::Remade ? RemakeAdminOnlyFolder(path) : CreateAdminOnlyFolder(path);
}

bool HeldFolder::Failed() {
    const DWORD error = ::GetLastError();
    Release();
    ::SetLastError(error);
    return false;
}
