// Calendar times: signed seconds since 1970-01-01 UTC, stored as 8 little-endian bytes.
#pragma once
#include <cstdint>

#include "core/Bytes8.h"

namespace rw {

constexpr Bytes8 EncodeTime(std::int64_t t) { return EncodeLE64(static_cast<std::uint64_t>(t)); }
constexpr std::int64_t DecodeTime(const std::uint8_t* bytes) { return static_cast<std::int64_t>(DecodeLE64(bytes)); }

}  // namespace rw
