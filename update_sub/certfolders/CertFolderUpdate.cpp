#include "certfolders/CertFolderUpdate.h"

#include <array>

#include "certfolders/StagedCertPackage.h"
#include "environment/TimeStamp.h"
#include "fileops/ClientFolder.h"
#include "fileops/HeldFolder.h"
#include "fileops/RenameLeftover.h"
#include "paths/PathConstants.h"
#include "qen_lib/file.h"

namespace {

// backup, cacerts and the stamp folder: a user who made one of them first
// could swap the backup that a failed replacement restores the client from.
constexpr int kAdminOnlyBackupFolders = 3;

// An installed store folder and its name in the package and the backup.
struct StoreFolder {
    const CString& installed;
    const wchar_t* name;
};

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder as the backup holds it: emptied (when there) and filled again.
bool RestoreFolder(const std::wstring& folder, const std::wstring& backup, ShellOperationCall shell) {
    if (FolderExists(folder)) ShellDeleteFiles(folder + L"\\*", shell);
    return qen_lib::file::make_dirs(folder) && ShellCopyFilesOk(backup + L"\\*", folder, shell);
}

using StoreFolders = std::array<StoreFolder, 2>;

StoreFolders StoresOf(const CertIndexPaths& installed) {
    return {{{installed.cs1Dir, L"\\cs1"}, {installed.cs2Dir, L"\\cs2"}}};
}

// Puts the installed folders back as the backup holds them: all, or only
// those that are missing.
void RestoreFolders(const StoreFolders& stores, const std::wstring& backupFolder, bool missingOnly,
                    ShellOperationCall shell) {
    for (const StoreFolder& store : stores)
        if (!missingOnly || !FolderExists(store.installed.str()))
            RestoreFolder(store.installed.str(), backupFolder + store.name, shell);
}

bool ReplaceFolderFiles(const std::wstring& folder, const std::wstring& from, ShellOperationCall shell) {
    ShellDeleteFiles(folder + L"\\*", shell);  // what stays is overwritten or no longer indexed
    return ShellCopyFilesOk(from + L"\\*.cer", folder, shell) && ShellCopyFilesOk(from + L"\\index*", folder, shell);
}

}  // namespace

std::wstring CertBackupSubpath(const SYSTEMTIME& time) {
    return CACERTS_BACKUP_SUBDIR.c_str() + (L"\\" + TimeStampText(time));
}

bool CopyCertFolders(const CertIndexPaths& installed, const std::wstring& target, ShellOperationCall shell) {
    for (const StoreFolder& store : StoresOf(installed)) {
        const std::wstring copy = target + store.name;
        if (!::CreateDirectoryW(copy.c_str(), nullptr)) return false;
        if (!ShellCopyFilesOk(store.installed.str() + L"\\*", copy, shell)) return false;
    }
    return true;
}

bool ReplaceCertFiles(const CertIndexPaths& installed, const std::wstring& newFolder,
                      const std::wstring& backupFolder, ShellOperationCall shell) {
    const StoreFolders stores = StoresOf(installed);
    for (const StoreFolder& store : stores) {
        if (ShellRenameRoundTrip(store.installed.str(), shell) == 0) continue;
        // Nothing was deleted; a folder that the way back left under its
        // other name is there again under its own.
        RestoreFolders(stores, backupFolder, true, shell);
        return false;
    }
    for (const StoreFolder& store : stores) {
        if (ReplaceFolderFiles(store.installed.str(), newFolder + store.name, shell)) continue;
        RestoreFolders(stores, backupFolder, false, shell);
        return false;
    }
    return true;
}

bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDir,
                              const CertFolderUpdateCalls& calls) {
    CertIndexPaths installed;
    if (!installed.Build(clientDir.c_str())) return false;
    // Held to the end: the stores' files are deleted by name below it.
    HeldFolder client;
    if (!HoldClientFolder(clientDir, client)) return false;
    for (const StoreFolder& store : StoresOf(installed))
        if (!ClearRenameLeftover(store.installed.str())) return false;
    StagedCertPackage package(baseFolder);
    if (!package.Stage()) return false;
    int newer = 0;
    if (!installed.IsNewerCertPackage(package.PackageFolder().c_str(), newer)) return false;
    if (!newer) return true;

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    // Held from the copy to the end of the update: a restore copies from
    // nothing but this folder.
    HeldFolder backup;
    if (!backup.Make(baseFolder, CertBackupSubpath(now), kAdminOnlyBackupFolders, HeldFolder::Last::New)) return false;
    if (!CopyCertFolders(installed, backup.Path(), calls.shell)) return false;
    if (!ReplaceCertFiles(installed, package.PackageFolder(), backup.Path(), calls.shell)) return false;
    // From the checked package: the very files the client now holds.
    RegisterStoreRoots(package.PackageFolder() + L"\\cs1", calls.roots);
    return true;
}
