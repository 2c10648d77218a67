#pragma once
// Name constraints and basic constraints.
#include <cstdint>
#include <vector>

#include "qen_lib/port/names.h"

namespace qen_lib::port {

struct GeneralSubtree {
    GeneralName base;
    std::int32_t minimum = 0;
    std::int32_t maximum = -1;  // no maximum
};

struct NameConstraints {
    std::vector<GeneralSubtree> permittedSubtrees;
    std::vector<GeneralSubtree> excludedSubtrees;
};

struct BasicConstraints {
    bool present = false;  // the extension was found and decoded
    bool isCA = false;
    std::int32_t pathLenConstraint = -1;  // -1 when no length is given
};

}  // namespace qen_lib::port
