#pragma once
// Client versions compared as the update rules compare them: major, then
// minor, then sub_minor, as unsigned numbers; the text plays no part.
#include <cstdint>
#include <tuple>

#include "environment/EnvironmentInfo.h"

inline std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> VersionOrder(const ProductVersion& version) {
    return {version.major, version.minor, version.sub_minor};
}

inline std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> VersionOrder(std::uint32_t major, std::uint32_t minor,
                                                                            std::uint32_t subMinor) {
    return {major, minor, subMinor};
}
