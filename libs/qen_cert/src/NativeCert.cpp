// The interface's own answers: those for a missing certificate.
#include "qen_lib/port/NativeCert.h"

#include "qen_lib/cert/constants.h"

namespace qen_lib::port {

bool NativeCert::is_valid() const { return false; }
Bytes NativeCert::get_encoded() const { return Bytes(); }
std::unique_ptr<NativeCertInteger> NativeCert::get_serial_number() const { return nullptr; }
std::wstring NativeCert::get_issuer() const { return std::wstring(); }
std::wstring NativeCert::get_subject() const { return std::wstring(); }
NameInfo NativeCert::get_subject_name() const { return NameInfo(); }
std::wstring NativeCert::get_alt_directory_names() const { return std::wstring(); }
NameInfo NativeCert::get_alt_directory_name_infos() const { return NameInfo(); }
std::wstring NativeCert::get_not_before(bool) const { return std::wstring(); }
std::wstring NativeCert::get_not_after(bool) const { return std::wstring(); }
std::int32_t NativeCert::check_validity(const CertTime&) const { return 0; }
Bytes NativeCert::get_extension(const std::string&) const { return Bytes(); }
bool NativeCert::has_unknown_critical_extensions(const std::vector<std::string>&) const {
    return false;
}
AlgorithmIdentifier NativeCert::get_signature_algorithm() const { return AlgorithmIdentifier(); }
PublicKeyInfo NativeCert::get_public_key_info() const { return PublicKeyInfo(); }
std::vector<DistributionPoint> NativeCert::get_crl_distribution_points() const {
    return std::vector<DistributionPoint>();
}
KeyUsage NativeCert::get_key_usage() const { return 0; }
BasicConstraints NativeCert::get_basic_constraints() const { return BasicConstraints(); }
Bytes NativeCert::get_subject_key_id() const { return cert::EMPTY_BYTES; }
Bytes NativeCert::get_authority_key_id() const { return cert::EMPTY_BYTES; }
CertificatePolicies NativeCert::get_policies() const { return CertificatePolicies(); }
std::vector<PolicyMapping> NativeCert::get_policy_mappings() const {
    return std::vector<PolicyMapping>();
}
PolicyConstraints NativeCert::get_policy_constraints() const { return PolicyConstraints(); }
NameConstraints NativeCert::get_name_constraints() const { return NameConstraints(); }
std::unique_ptr<NativeCert> NativeCert::clone() const { return std::make_unique<NativeCert>(); }
bool NativeCert::verify_signature(const NativeCert&) const { return false; }

}  // namespace qen_lib::port
