// Version quads: a.b.c.d as the number a·2^48 + b·2^32 + c·2^16 + d, compared as a number.
// The running version comes from the build (the project version, written once).
#pragma once
#include <cstdint>

#include "core/RunningVersion.h"

namespace rw {

using VersionQuad = std::uint64_t;

constexpr VersionQuad PackVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return (static_cast<VersionQuad>(a) << 48) | (static_cast<VersionQuad>(b) << 32) |
           (static_cast<VersionQuad>(c) << 16) | d;
}

constexpr std::uint16_t VersionPart(VersionQuad v, int index) {  // 0 = a … 3 = d
    return static_cast<std::uint16_t>(v >> (48 - 16 * index));
}

constexpr VersionQuad kRunningVersion =
    PackVersion(kRunningVersionMajor, kRunningVersionMinor, kRunningVersionPatch, kRunningVersionBuild);

}  // namespace rw
