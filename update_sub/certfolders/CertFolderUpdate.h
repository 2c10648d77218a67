#pragma once
// The client's Java certificate folders (.kvxwrap\cs1 and cs2 below its
// installation folder) brought up to the root-certificate package, with a
// time-stamped backup, and the package's roots registered in the machine's
// "Root" store. Everything taken from the package comes from the copy that
// StagedCertPackage checked, never from what the main program unpacked.
#include <windows.h>

#include <string>

#include "certfolders/RootStore.h"
#include "certpackage/CertIndexPaths.h"
#include "fileops/ShellFileOperations.h"

// What the update works through; the product takes the defaults.
struct CertFolderUpdateCalls {
    ShellOperationCall shell = ::SHFileOperationW;
    RootStoreTarget roots;
};

// The app's one call, after the client folder has been read again (a setup
// may have just installed the client). True when the package is not newer
// than the client's stores, or when both folders were replaced; the roots'
// registration does not change the result. The client folder and its
// ".kvxwrap" are held from the start (HoldClientFolder); then what an earlier
// round trip left under ".rename" is cleared (ClearRenameLeftover). False
// when the client folder is empty, it, a folder above it or ".kvxwrap" is a
// link, a leftover cannot be cleared, the package does not stage (signer,
// extraction, stores), its counters cannot be read, or the backup or the
// replacement fails; a replacement that fails after a folder was changed
// puts both folders back from the backup. The backup folder and every
// admin-only folder above it (HeldFolder, kept when ours) are held from the
// copy to the end.
bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDir,
                              const CertFolderUpdateCalls& calls = {});

// CACERTS_BACKUP_SUBDIR + "\" + the time as YYYYMMDDhhmmss: the backup
// folder below the common application-data folder.
std::wstring CertBackupSubpath(const SYSTEMTIME& time);

// Creates cs1 and cs2 in `target` (the new, admin-only backup folder), and
// copies the installed folders of those names into them.
bool CopyCertFolders(const CertIndexPaths& installed, const std::wstring& target, ShellOperationCall shell);

// Replaces the certificate and index files of both installed folders by
// those of newFolder\cs1 and cs2. Both folders must first make a rename
// round trip, so that nothing is deleted from a folder another program
// holds; a folder that round trip left missing is filled again from the
// backup. A failure after that restores both folders from backupFolder.
bool ReplaceCertFiles(const CertIndexPaths& installed, const std::wstring& newFolder,
                      const std::wstring& backupFolder, ShellOperationCall shell);
