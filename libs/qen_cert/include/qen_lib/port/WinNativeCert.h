#pragma once
// The certificate interface over a CryptoAPI certificate context.
#include <windows.h>
#include <wincrypt.h>

#include <cstdint>
#include <memory>

#include "qen_lib/port/NativeCert.h"
#include "win/handle.h"

namespace qen_lib::port {

// A new WinNativeCert from DER bytes, or from Base64 text framed by PEM
// header and trailer lines; the caller tests is_valid. A failure to decode
// is logged.
std::unique_ptr<NativeCert> make_cert(const unsigned char* data, std::int32_t size);

class WinNativeCert final : public NativeCert {
public:
    // Takes over one reference to context, which may be null.
    explicit WinNativeCert(PCCERT_CONTEXT context);
    WinNativeCert(const WinNativeCert&) = delete;
    WinNativeCert& operator=(const WinNativeCert&) = delete;

    bool is_valid() const override;
    Bytes get_encoded() const override;
    // Borrows from this certificate: must not outlive it.
    std::unique_ptr<NativeCertInteger> get_serial_number() const override;
    std::wstring get_issuer() const override;
    std::wstring get_subject() const override;
    NameInfo get_subject_name() const override;
    std::wstring get_alt_directory_names() const override;
    NameInfo get_alt_directory_name_infos() const override;
    std::wstring get_not_before(bool local) const override;
    std::wstring get_not_after(bool local) const override;
    std::int32_t check_validity(const CertTime& time) const override;
    Bytes get_extension(const std::string& oid) const override;
    bool has_unknown_critical_extensions(const std::vector<std::string>& known) const override;
    AlgorithmIdentifier get_signature_algorithm() const override;
    PublicKeyInfo get_public_key_info() const override;
    std::vector<DistributionPoint> get_crl_distribution_points() const override;
    KeyUsage get_key_usage() const override;
    BasicConstraints get_basic_constraints() const override;
    // The subject key identifier, or the SHA-1 of the encoded public key
    // info when the certificate has no such extension.
    Bytes get_subject_key_id() const override;
    Bytes get_authority_key_id() const override;
    CertificatePolicies get_policies() const override;
    std::vector<PolicyMapping> get_policy_mappings() const override;
    PolicyConstraints get_policy_constraints() const override;
    NameConstraints get_name_constraints() const override;
    std::unique_ptr<NativeCert> clone() const override;
    // Throws std::bad_cast when issuer is not a WinNativeCert.
    bool verify_signature(const NativeCert& issuer) const override;

private:
    std::wstring name_text(DWORD issuerFlag, const wchar_t* function, int line) const;

    win::CertContext m_context;
};

// Serial number of a WinNativeCert: the blob inside its CERT_INFO, least
// significant byte first.
class WinNativeCertInteger final : public NativeCertInteger {
public:
    explicit WinNativeCertInteger(const CRYPT_INTEGER_BLOB* blob) : m_blob(blob) {}
    std::wstring to_string() const override;

private:
    const CRYPT_INTEGER_BLOB* m_blob;
};

}  // namespace qen_lib::port
