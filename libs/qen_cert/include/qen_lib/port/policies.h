#pragma once
// Certificate policies, policy mappings and policy constraints.
#include <cstdint>
#include <string>
#include <vector>

#include "qen_lib/port/bytes.h"

namespace qen_lib::port {

// Kinds of policy qualifier, by the qualifier's OID.
enum PolicyQualifierType : std::int32_t {
    POLICY_QUALIFIER_CPS = 0,          // "1.3.6.1.5.5.7.2.1"
    POLICY_QUALIFIER_USER_NOTICE = 1,  // "1.3.6.1.5.5.7.2.2"
    POLICY_QUALIFIER_OTHER = 2,
};

struct UserNotice {
    std::wstring organization;
    std::vector<std::int32_t> noticeNumbers;
    std::wstring explicitText;
};

struct PolicyQualifierInfo {
    // type from the OID; cpsUri and userNotice stay empty: nothing decodes
    // the qualifier further.
    PolicyQualifierInfo(const std::string& policyQualifierId, const Bytes& qualifier);

    std::string policyQualifierId;
    Bytes qualifier;  // encoded as it stands in the certificate
    std::int32_t type;
    std::wstring cpsUri;
    UserNotice userNotice;
};

struct PolicyInformation {
    std::string policyIdentifier;
    std::vector<PolicyQualifierInfo> qualifiers;
};

struct CertificatePolicies {
    std::vector<PolicyInformation> policies;
    bool critical = false;
};

struct PolicyMapping {
    std::string issuerDomainPolicy;
    std::string subjectDomainPolicy;
};

// Skip-certificate counts, -1 when absent.
struct PolicyConstraints {
    std::int32_t requireExplicitPolicy = -1;
    std::int32_t inhibitPolicyMapping = -1;
};

}  // namespace qen_lib::port
