#pragma once
// Registration of the client's root certificates in the local machine's
// "Root" store, so that Windows trusts what the client's Java component
// trusts. A problem is told in a warning box of its own; none of the results
// makes the certificate update fail.
#include <windows.h>
#include <wincrypt.h>

#include <string>

using OpenStoreCall = HCERTSTORE(WINAPI*)(LPCSTR, DWORD, HCRYPTPROV_LEGACY, DWORD, const void*);
using WarningCall = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);

// Where the certificates go and how a problem is told. The product uses the
// defaults; tests name a store of their own or hand in calls that record.
struct RootStoreTarget {
    DWORD flags = CERT_SYSTEM_STORE_LOCAL_MACHINE;  // location and open flags
    const wchar_t* name = L"Root";
    OpenStoreCall open = ::CertOpenStore;
    WarningCall warn = ::MessageBoxW;
};

enum : int {
    REGISTER_OK = 0,
    REGISTER_STORE_NOT_OPENED = 3,
    REGISTER_ADD_FAILED = 4,
};

// Adds one DER certificate unless the store holds it or a newer copy.
// REGISTER_OK also when the store may not be opened for lack of rights
// (skipped without a warning); else the failure, after its warning.
int RegisterRootCertificate(const BYTE* der, DWORD length, const RootStoreTarget& target = {});

// The warning for a store result code of the certificate store; the check
// result of vornpath/pki/CheckCertStore.h that the code stands for (0, no
// warning, for 0).
int ShowStoreError(int storeResult, const RootStoreTarget& target = {});

// Every certificate of the store in `folder`, in the store's order, up to
// the first that cannot be registered. 0 when all were (or there were none);
// else the result of ShowStoreError for a store that does not read whole, or
// of RegisterRootCertificate.
int RegisterStoreRoots(const std::wstring& folder, const RootStoreTarget& target = {});
