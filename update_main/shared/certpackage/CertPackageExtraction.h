#pragma once
// Unpacking a root-certificate cabinet into a package folder. A cabinet
// holds the two store folders and nothing else: any other name, one that
// would leave the folder, or a target path too long to be written whole,
// stops the extraction.
#include <windows.h>

#include <string>

// A name the cabinet may hold: "cs1\" or "cs2\" and a plain file name (no
// further folder, no "." or "..", no drive, stream or device name, no
// character that Windows drops or refuses).
bool IsCertPackageMemberName(const std::wstring& nameInCabinet);

// What the extraction callback works with.
struct CabinetExtraction {
    std::wstring packageFolder;
    DWORD error = ERROR_SUCCESS;  // the first failure; the callback stops at it
};

// The file callback of SetupIterateCabinetW; its context is a
// CabinetExtraction.
UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2);

// Empties packageFolder and extracts the cabinet into it. FALSE with the
// last error set when the folder cannot be emptied, the cabinet cannot be
// read or holds a name it may not, or a file cannot be written.
BOOL ExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder);

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
