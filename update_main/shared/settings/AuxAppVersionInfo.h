#pragma once
// The auxiliary application's versions as the [Pelmarch] order of the
// exchange file carries them.
#include "environment/VersionNumber.h"

struct AuxAppVersionInfo {
    VersionNumber installed;
    VersionNumber required;
    bool needs_update = false;  // installed < required
};
