#include "vornpath/pki/CheckCertStore.h"

#include <new>
#include <string>

#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"

int CheckResultOf(int storeResult) {
    switch (storeResult) {
    case vornpath::pki::STORE_OK: return CHECK_STORE_OK;
    case vornpath::pki::STORE_NO_INDEX:
    case vornpath::pki::STORE_CERT_FILE_MISSING: return CHECK_STORE_FILE_MISSING;
    case vornpath::pki::STORE_INDEX_UNREADABLE:
    case vornpath::pki::STORE_CERT_FILE_UNLOADABLE: return CHECK_STORE_FILE_UNREADABLE;
    default: return CHECK_STORE_BROKEN;
    }
}

int CheckCertStore(const wchar_t* folder) try {
    int result = vornpath::pki::STORE_OK;
    // Opening reads the folder, the index and its Mac file; reading every
    // certificate checks each file against its record, up to the first that
    // fails. The store and the copies go when this returns.
    const auto store = vornpath::pki::CreateFileBaseCertificateStore(folder, result);
    if (result == vornpath::pki::STORE_OK) store->GetAllCerts(result);
    return CheckResultOf(result);
} catch (const std::bad_alloc&) {
    return CHECK_STORE_BROKEN;
}
