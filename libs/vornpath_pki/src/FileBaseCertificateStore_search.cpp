// The store's look-ups: the hash and key-identifier texts, and the searches
// that read certificate files on first use.
#include "vornpath/pki/FileBaseCertificateStore.h"

#include <functional>

#include "locked_frame.h"
#include "qen_lib/cert/constants.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

namespace {

using Cert = qen_lib::cert::Cert;
using Certs = CertificateStore::Certs;

// Copies of the certificates that predicate accepts, records in ascending
// certHash order, each read from its file first when it is not yet, under the
// store's mutex. A file that does not load ends the walk: result tells why,
// and the copies made before it are returned.
Certs FilterCerts(async::Mutex* mutex, const std::wstring& folder, const std::function<bool(const Cert&)>& predicate,
                  int& result, CertHashMap& certHashes) {
    const LockedFrame frame(mutex);
    if (!frame.ready()) {
        result = STORE_LOCK_FAILED;
        return Certs();
    }
    Certs certs;
    for (auto& entry : certHashes) {
        CertRecord& record = entry.second;
        if (!record.cert.is_loaded()) {
            result = LoadCert(folder, record);
            if (result != STORE_OK) return certs;
        }
        if (predicate(record.cert)) certs.push_back(record.cert);
    }
    result = STORE_OK;
    return certs;
}

}  // namespace

qen_lib::port::Bytes FileBaseCertificateStore::GetKeyId(const Cert& cert) const {
    return cert.native().get_subject_key_id();
}

qen_lib::port::Bytes FileBaseCertificateStore::GetCertHash(const Cert& cert) const {
    const qen_lib::ByteBuffer digest = cert.digest(qen_lib::cert::SHA1_NAME);
    return qen_lib::port::Bytes(digest.data(), digest.data() + digest.size());
}

std::wstring FileBaseCertificateStore::CertHashToString(const qen_lib::port::Bytes& bytes) const {
    return HashText(bytes);
}

std::wstring FileBaseCertificateStore::KeyIdToString(const qen_lib::port::Bytes& bytes) const {
    return CertHashToString(bytes);
}

bool FileBaseCertificateStore::IsTrusted(const qen_lib::port::Bytes& certHash) const {
    const auto found = m_certHashMap.find(CertHashToString(certHash));
    return found != m_certHashMap.end() && found->second.isTrusted;
}

Certs FileBaseCertificateStore::GetAllCerts(int& result) {
    return FilterCerts(m_mutex, m_folder, [](const Cert&) { return true; }, result, m_certHashMap);
}

Certs FileBaseCertificateStore::FindCertsBySubject(const std::wstring& subject, int& result) {
    return FilterCerts(
        m_mutex, m_folder, [&subject](const Cert& cert) { return cert.native().get_subject() == subject; }, result,
        m_certHashMap);
}

std::pair<int, Certs> FileBaseCertificateStore::FindCertsByName(const qen_lib::port::NameInfo& name) {
    int result = STORE_OK;
    Certs certs = FindCertsBySubject(name.get_text(), result);
    return {result, std::move(certs)};
}

Certs FileBaseCertificateStore::FindCertsByKeyId(const std::wstring& keyId, int& result) {
    const LockedFrame frame(m_mutex);
    result = STORE_LOCK_FAILED;
    if (!frame.ready()) return Certs();
    Certs certs;
    const auto found = m_keyIdMap.find(keyId);
    if (found != m_keyIdMap.end()) {
        for (const std::wstring& certHash : found->second) {
            CertRecord& record = m_certHashMap.at(certHash);
            // Any failure here is reported as one that did not load.
            if (!record.cert.is_loaded() && LoadCert(m_folder, record) != STORE_OK) {
                result = STORE_CERT_FILE_UNLOADABLE;
                return Certs();
            }
            certs.push_back(record.cert);
        }
    }
    result = STORE_OK;
    return certs;
}

std::pair<int, Certs> FileBaseCertificateStore::FindCertsByKeyIdBytes(const qen_lib::port::Bytes& keyId) {
    int result = STORE_OK;
    Certs certs = FindCertsByKeyId(KeyIdToString(keyId), result);
    return {result, std::move(certs)};
}

}  // namespace vornpath::pki
