// Certificate policies, policy mappings, policy constraints and name
// constraints.
#include "qen_lib/port/WinNativeCert.h"

#include "platform_decode.h"

namespace qen_lib::port {

namespace {

std::string text_of(const char* oid) {
    return oid ? std::string(oid) : std::string();
}

PolicyInformation policy_of(const CERT_POLICY_INFO& info) {
    PolicyInformation policy;
    policy.policyIdentifier = text_of(info.pszPolicyIdentifier);
    for (DWORD i = 0; i < info.cPolicyQualifier; ++i) {
        const CERT_POLICY_QUALIFIER_INFO& qualifier = info.rgPolicyQualifier[i];
        policy.qualifiers.emplace_back(
            text_of(qualifier.pszPolicyQualifierId),
            detail::copy_bytes(qualifier.Qualifier.pbData, qualifier.Qualifier.cbData));
    }
    return policy;
}

std::vector<GeneralSubtree> subtrees_of(const CERT_GENERAL_SUBTREE* subtrees, DWORD count) {
    std::vector<GeneralSubtree> result;
    for (DWORD i = 0; i < count; ++i) {
        // The subtree's own minimum and maximum are not read.
        GeneralSubtree subtree;
        subtree.base = detail::general_name_of(subtrees[i].Base);
        result.push_back(std::move(subtree));
    }
    return result;
}

}  // namespace

CertificatePolicies WinNativeCert::get_policies() const {
    CertificatePolicies result;
    detail::with_extension<CERT_POLICIES_INFO>(
        m_context.get(), szOID_CERT_POLICIES, [&result](const CERT_POLICIES_INFO& info, bool critical) {
            for (DWORD i = 0; i < info.cPolicyInfo; ++i)
                result.policies.push_back(policy_of(info.rgPolicyInfo[i]));
            result.critical = critical;
        });
    return result;
}

std::vector<PolicyMapping> WinNativeCert::get_policy_mappings() const {
    std::vector<PolicyMapping> result;
    detail::with_extension<CERT_POLICY_MAPPINGS_INFO>(
        m_context.get(), szOID_POLICY_MAPPINGS, [&result](const CERT_POLICY_MAPPINGS_INFO& info, bool) {
            for (DWORD i = 0; i < info.cPolicyMapping; ++i)
                result.push_back({text_of(info.rgPolicyMapping[i].pszIssuerDomainPolicy),
                                  text_of(info.rgPolicyMapping[i].pszSubjectDomainPolicy)});
        });
    return result;
}

PolicyConstraints WinNativeCert::get_policy_constraints() const {
    PolicyConstraints result;
    detail::with_extension<CERT_POLICY_CONSTRAINTS_INFO>(
        m_context.get(), szOID_POLICY_CONSTRAINTS,
        [&result](const CERT_POLICY_CONSTRAINTS_INFO& info, bool) {
            if (info.fRequireExplicitPolicy)
                result.requireExplicitPolicy = std::int32_t(info.dwRequireExplicitPolicySkipCerts);
            if (info.fInhibitPolicyMapping)
                result.inhibitPolicyMapping = std::int32_t(info.dwInhibitPolicyMappingSkipCerts);
        });
    return result;
}

NameConstraints WinNativeCert::get_name_constraints() const {
    NameConstraints result;
    detail::with_extension<CERT_NAME_CONSTRAINTS_INFO>(
        m_context.get(), szOID_NAME_CONSTRAINTS, [&result](const CERT_NAME_CONSTRAINTS_INFO& info, bool) {
            result.permittedSubtrees = subtrees_of(info.rgPermittedSubtree, info.cPermittedSubtree);
            result.excludedSubtrees = subtrees_of(info.rgExcludedSubtree, info.cExcludedSubtree);
        });
    return result;
}

}  // namespace qen_lib::port
