// The certificate files: one DER file per record, named by its certHash.
#include <windows.h>

#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

std::wstring CertFilePath(const std::wstring& folder, const std::wstring& certHash) {
    return folder + L"\\" + certHash + L".cer";
}

int LoadCert(const std::wstring& folder, CertRecord& record) {
    const std::wstring path = CertFilePath(folder, record.certHash);
    if (!FU_FileExists(path.c_str())) {
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadCert"), 649, L"Certificate file not exists: %ls", path.c_str());
        return STORE_CERT_FILE_MISSING;
    }
    qen_lib::cert::Cert loaded;
    if (!loaded.load(path)) {
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadCert"), 656, L"Certificate file loading failed: %ls",
                             path.c_str());
        return STORE_CERT_FILE_UNLOADABLE;
    }
    // The file is found by its SHA-1 name: it must be that certificate, and
    // the one whose SHA-256 the record holds.
    if (CertHashText(loaded) != record.certHash || CertHashSha256Text(loaded) != record.certHashSha256) {
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadCert"), 667, L"Certificate file corrupted: %ls", path.c_str());
        return STORE_CERT_FILE_CORRUPTED;
    }
    record.cert = std::move(loaded);
    return STORE_OK;
}

// The certificate file is on the disk before any index names it: written
// beside its name, flushed and moved in, all before the index is saved.
int saveCert(const std::wstring& folder, const CertRecord& record) {
    const std::wstring path = CertFilePath(folder, record.certHash);
    const qen_lib::ByteBuffer& der = record.cert.der();
    if (FU_ReplaceFile(path, BytesWriter(der.data(), der.size()))) {
        qen_lib::log::report(STORE_FILE_LAYER(L"saveCert"), 683, L"Certificate file writing failed: %ls",
                             path.c_str());
        return STORE_CERT_FILE_UNWRITABLE;
    }
    return STORE_OK;
}

int DeleteCertFile(const std::wstring& folder, const CertRecord& record) {
    const std::wstring path = CertFilePath(folder, record.certHash);
    if (DeleteFileW(path.c_str())) return STORE_OK;
    // The record is already out of the index: a file that someone removed
    // before us leaves nothing to undo.
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND) return STORE_OK;
    qen_lib::log::report(STORE_FILE_LAYER(L"DeleteCertFile"), 694, L"Certificate file deleting failed: %ls",
                         path.c_str());
    return STORE_CERT_FILE_UNDELETABLE;
}

}  // namespace vornpath::pki
