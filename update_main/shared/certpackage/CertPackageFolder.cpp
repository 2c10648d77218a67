#include "certpackage/CertPackageFolder.h"

#include "entries/EntryItself.h"
#include "qen_lib/file.h"

bool CertPackageFolder::Make(const std::wstring& path) {
    Release();
    m_path = path;
    // Nothing of an earlier, larger package may stay beside the new one.
    if (!qen_lib::file::remove_tree(path)) return Failed();
    // Made afresh here, as are the stores below: whatever stands in their
    // place by now (a link, say) was put there since, and is never used.
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return Failed();
    m_folder = HoldPlainFolder(path);
    if (!m_folder) return Failed();
    for (Store& store : m_stores)
        if (!MakeStore(store)) return Failed();
    return true;
}

bool CertPackageFolder::MakeStore(Store& store) {
    const std::wstring path = StorePath(store);
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
    store.held = HoldPlainFolder(path);
    return static_cast<bool>(store.held);
}

bool CertPackageFolder::LeadsToHeldStore(const std::wstring& name) const {
    for (const Store& store : m_stores) {
        if (name != store.name || !store.held) continue;
        const std::wstring path = StorePath(store);
        // For attributes only, which no sharing stops.
        const win::FileHandle now =
            OpenItself(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        return now && IsPlainFolder(EntryAttributes(now.get(), path)) && IsSameEntry(now.get(), store.held.get());
    }
    return false;
}

std::wstring CertPackageFolder::StorePath(const Store& store) const { return m_path + L'\\' + store.name; }

void CertPackageFolder::Release() {
    for (Store& store : m_stores) store.held.reset();
    m_folder.reset();
}

bool CertPackageFolder::Failed() {
    const DWORD error = ::GetLastError();
    Release();
    ::SetLastError(error);
    return false;
}
