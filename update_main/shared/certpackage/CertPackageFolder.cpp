#include "certpackage/CertPackageFolder.h"

#include "qen_lib/file.h"

namespace {

// The folder itself, never what a link there leads to.
win::FileHandle OpenItself(const std::wstring& path, DWORD access, DWORD sharing) {
    return win::FileHandle(::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// A folder and no link, by the handle and by the path (Wine shows a link
// made on its host's side only through the path); identity receives what
// the handle tells.
bool IsPlainFolder(HANDLE folder, const std::wstring& path, BY_HANDLE_FILE_INFORMATION& identity) {
    if (!::GetFileInformationByHandle(folder, &identity)) return false;
    const DWORD attributes = identity.dwFileAttributes | ::GetFileAttributesW(path.c_str());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Listing binds the handle to the sharing rules (an open for attributes
// alone does not), and delete is not shared: nobody can rename or remove
// the folder while it is held.
win::FileHandle HoldPlainFolder(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& identity) {
    win::FileHandle folder =
        OpenItself(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!folder || IsPlainFolder(folder.get(), path, identity)) return folder;
    ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return {};
}

}  // namespace

bool CertPackageFolder::Make(const std::wstring& path) {
    Release();
    m_path = path;
    // Nothing of an earlier, larger package may stay beside the new one.
    if (!qen_lib::file::remove_tree(path)) return Failed();
    // Made afresh here, as are the stores below: whatever stands in their
    // place by now (a link, say) was put there since, and is never used.
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return Failed();
    BY_HANDLE_FILE_INFORMATION identity;
    m_folder = HoldPlainFolder(path, identity);
    if (!m_folder) return Failed();
    for (Store& store : m_stores)
        if (!MakeStore(store)) return Failed();
    return true;
}

bool CertPackageFolder::MakeStore(Store& store) {
    const std::wstring path = m_path + L'\\' + store.name;
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
    store.held = HoldPlainFolder(path, store.identity);
    return static_cast<bool>(store.held);
}

bool CertPackageFolder::LeadsToHeldStore(const std::wstring& name) const {
    for (const Store& store : m_stores) {
        if (name != store.name || !store.held) continue;
        const std::wstring path = m_path + L'\\' + store.name;
        // For attributes only, which no sharing stops.
        const win::FileHandle now =
            OpenItself(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        BY_HANDLE_FILE_INFORMATION identity;
        return now && IsPlainFolder(now.get(), path, identity) &&
               identity.dwVolumeSerialNumber == store.identity.dwVolumeSerialNumber &&
               identity.nFileIndexHigh == store.identity.nFileIndexHigh &&
               identity.nFileIndexLow == store.identity.nFileIndexLow;
    }
    return false;
}

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
