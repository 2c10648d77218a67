#pragma once
// Unpacking a root-certificate cabinet into a package folder. Only the files
// of the two store folders are unpacked; any other member is skipped. A name
// that could leave the folder, or a target path too long to be written
// whole, stops the extraction.
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "certpackage/CertPackageFolder.h"

enum class CertPackageMember {
    StoreFile,  // a file of "cs1" or "cs2": unpacked
    Other,      // a harmless name outside the stores (a top-level file, a
                // store's sub-folder, another folder): skipped
    Refused,    // a part that could leave the folder or name another file
                // (empty, "." or "..", a drive or stream, a device name,
                // trailing dots or blanks), or a store file name that
                // Windows refuses: the package is not used
};

// What becomes of a member of the cabinet. For a StoreFile, storeFile
// receives its path below the package folder, the store's name in lower
// case ("CS1\a.cer" gives "cs1\a.cer").
CertPackageMember ClassifyCertPackageMember(const std::wstring& nameInCabinet, std::wstring& storeFile);

// What the extraction callback works with.
struct CabinetExtraction {
    const CertPackageFolder& folder;  // made and held
    DWORD error = ERROR_SUCCESS;      // the first failure; the callback stops at it
};

// The file callback of SetupIterateCabinetW; its context is a
// CabinetExtraction.
UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2);

// Makes packageFolder afresh with its store folders (CertPackageFolder::Make)
// and extracts the cabinet into them; folder holds them afterwards. FALSE
// with the last error set when the folders cannot be made afresh, the
// cabinet cannot be read or holds a Refused name, a store folder's path no
// longer leads to the folder held, or a file cannot be written.
BOOL ExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder, CertPackageFolder& folder);

namespace detail {

// The iteration that ExtractCertPackage runs: SetupIterateCabinetW, replaced
// only by the package's tests, to act between the platform's notifications.
using IterateCabinet = BOOL(WINAPI*)(PCWSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_W callback, PVOID context);
IterateCabinet& CabinetIteration();

}  // namespace detail

// What became of a downloaded package.
enum class CertPackageCheck {
    Ok,             // the maker's, unpacked, both stores whole
    SignerRefused,  // not signed by the maker
    Unusable,       // cannot be unpacked, or a store in it is broken
};

// Checks the cabinet's signer (the maker's) through a handle held until the
// extraction ends, so that what is unpacked is what was checked; unpacks it
// into packageFolder (ExtractCertPackage) and checks the stores "cs1" and
// "cs2" there. Anything but Ok leaves the last error (ERROR_INVALID_DATA for
// a broken store).
CertPackageCheck CheckAndExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder);
