#pragma once
// One X.509 certificate behind an interface. The interface's own answers are
// neutral, so a bare NativeCert stands for the absence of a certificate.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qen_lib/port/bytes.h"
#include "qen_lib/port/constraints.h"
#include "qen_lib/port/distribution_point.h"
#include "qen_lib/port/key_info.h"
#include "qen_lib/port/names.h"
#include "qen_lib/port/policies.h"

namespace qen_lib::port {

// A certificate's serial number.
class NativeCertInteger {
public:
    virtual ~NativeCertInteger() = default;
    // The content octets of the DER INTEGER as lowercase hex, in encoded
    // order (a leading zero octet included).
    virtual std::wstring to_string() const = 0;
};

class NativeCert {
public:
    virtual ~NativeCert() = default;
    virtual bool is_valid() const;
    // DER bytes.
    virtual Bytes get_encoded() const;
    virtual std::unique_ptr<NativeCertInteger> get_serial_number() const;
    // X.500 text of the names, RDNs in reverse order ("CN=..., O=..., C=...").
    virtual std::wstring get_issuer() const;
    virtual std::wstring get_subject() const;
    virtual NameInfo get_subject_name() const;
    // The last directoryName of the subject alternative name.
    virtual std::wstring get_alt_directory_names() const;
    virtual NameInfo get_alt_directory_name_infos() const;
    // "yyyy/MM/dd", in UTC or in local time.
    virtual std::wstring get_not_before(bool local) const;
    virtual std::wstring get_not_after(bool local) const;
    // 0 valid at time (both bounds inclusive), 1 not yet valid, 2 expired or
    // time not a valid time.
    virtual std::int32_t check_validity(const CertTime& time) const;
    // The value bytes of the first extension with that OID, or empty.
    virtual Bytes get_extension(const std::string& oid) const;
    // True when a critical extension's OID is not in known.
    virtual bool has_unknown_critical_extensions(const std::vector<std::string>& known) const;
    virtual AlgorithmIdentifier get_signature_algorithm() const;
    virtual PublicKeyInfo get_public_key_info() const;
    virtual std::vector<DistributionPoint> get_crl_distribution_points() const;
    virtual KeyUsage get_key_usage() const;
    virtual BasicConstraints get_basic_constraints() const;
    virtual Bytes get_subject_key_id() const;
    virtual Bytes get_authority_key_id() const;
    virtual CertificatePolicies get_policies() const;
    virtual std::vector<PolicyMapping> get_policy_mappings() const;
    virtual PolicyConstraints get_policy_constraints() const;
    virtual NameConstraints get_name_constraints() const;
    virtual std::unique_ptr<NativeCert> clone() const;
    // Only the signature, made with issuer's key: no dates, names or chain.
    virtual bool verify_signature(const NativeCert& issuer) const;
};

}  // namespace qen_lib::port
