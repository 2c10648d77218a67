#pragma once
// One CRL distribution point. Its parts are shared between copies.
#include <cstdint>
#include <memory>
#include <vector>

#include "qen_lib/port/bytes.h"
#include "qen_lib/port/names.h"

namespace qen_lib::port {

struct DistributionPointName {
    std::int32_t nameChoice = 0;  // always the full name
    std::vector<GeneralName> fullName;
};

struct ReasonFlags {
    Bytes bytes;  // the reasons BIT STRING
    std::uint32_t unusedBits = 0;
};

struct DistributionPoint {
    // Null when absent. Members end in reverse order: crlIssuer first.
    std::shared_ptr<DistributionPointName> name;
    std::shared_ptr<ReasonFlags> reasons;
    std::shared_ptr<GeneralNames> crlIssuer;
};

}  // namespace qen_lib::port
