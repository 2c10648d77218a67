// The few value records whose construction does more than copy members.
#include "qen_lib/port/names.h"
#include "qen_lib/port/policies.h"

namespace qen_lib::port {

NameInfo::NameInfo(const std::wstring& text) : text(text) {}

void NameInfo::append(Rdn& rdn, const std::wstring& oid, const std::wstring& value) {
    rdn.emplace_back(oid, value);
}

namespace {

std::int32_t qualifier_type(const std::string& oid) {
    if (oid == "1.3.6.1.5.5.7.2.1") return POLICY_QUALIFIER_CPS;
    if (oid == "1.3.6.1.5.5.7.2.2") return POLICY_QUALIFIER_USER_NOTICE;
    return POLICY_QUALIFIER_OTHER;
}

}  // namespace

PolicyQualifierInfo::PolicyQualifierInfo(const std::string& policyQualifierId,
                                         const Bytes& qualifier)
    : policyQualifierId(policyQualifierId),
      qualifier(qualifier),
      type(qualifier_type(policyQualifierId)) {}

}  // namespace qen_lib::port
