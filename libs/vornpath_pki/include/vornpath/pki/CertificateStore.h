#pragma once
// A store of certificates, as both programs see it. Every operation reports
// by a store result code (vornpath/pki/store_result.h) and none throws on its
// own account.
#include <string>
#include <utility>
#include <vector>

#include "qen_lib/cert/Cert.h"
#include "qen_lib/port/bytes.h"
#include "qen_lib/port/names.h"

namespace vornpath::pki {

class CertificateStore {
public:
    using Certs = std::vector<qen_lib::cert::Cert>;

    virtual ~CertificateStore() = default;
    // create: a new, empty store in an existing folder; else the store as its
    // files hold it.
    virtual int Setup(bool create) = 0;
    // The subject key identifier; empty when the certificate has none.
    virtual qen_lib::port::Bytes GetKeyId(const qen_lib::cert::Cert& cert) const = 0;
    // The SHA-1 digest of the certificate's bytes, 20 bytes.
    virtual qen_lib::port::Bytes GetCertHash(const qen_lib::cert::Cert& cert) const = 0;
    // Hash text: two lowercase hex digits a byte, joined by "_".
    virtual std::wstring CertHashToString(const qen_lib::port::Bytes& bytes) const = 0;
    virtual std::wstring KeyIdToString(const qen_lib::port::Bytes& bytes) const = 0;
    virtual std::pair<int, Certs> FindCertsByName(const qen_lib::port::NameInfo& name) = 0;
    virtual std::pair<int, Certs> FindCertsByKeyIdBytes(const qen_lib::port::Bytes& keyId) = 0;
    virtual bool IsTrusted(const qen_lib::port::Bytes& certHash) const = 0;
    // The searches stop at the first certificate file that does not load:
    // result then tells why.
    virtual Certs GetAllCerts(int& result) = 0;
    virtual Certs FindCertsBySubject(const std::wstring& subject, int& result) = 0;
    virtual Certs FindCertsByKeyId(const std::wstring& keyId, int& result) = 0;
    virtual int RemoveCert(const qen_lib::cert::Cert& cert) = 0;
    virtual int AddCert(const qen_lib::cert::Cert& cert, bool isTrusted) = 0;
};

}  // namespace vornpath::pki
