// Version quads (a.b.c.d as a·2^48 + b·2^32 + c·2^16 + d) and the 8-byte little-endian form
// in which they, and calendar times, are stored in the registry.
#pragma once
#include <array>
#include <cstdint>

namespace rw {

using VersionQuad = std::uint64_t;

constexpr VersionQuad PackVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return (static_cast<VersionQuad>(a) << 48) | (static_cast<VersionQuad>(b) << 32) |
           (static_cast<VersionQuad>(c) << 16) | d;
}

constexpr std::uint16_t VersionPart(VersionQuad v, int index) {  // 0 = a … 3 = d
    return static_cast<std::uint16_t>(v >> (48 - 16 * index));
}

constexpr VersionQuad kRunningVersion = PackVersion(2, 1, 0, 13021);
constexpr const wchar_t* kRunningVersionText = L"2.1.0.13021";
constexpr const wchar_t* kRunningVersionShort = L"2.1";

using Bytes8 = std::array<std::uint8_t, 8>;

constexpr Bytes8 EncodeLE64(std::uint64_t value) {
    Bytes8 bytes{};
    for (int i = 0; i < 8; ++i) bytes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

constexpr std::uint64_t DecodeLE64(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// Calendar times: signed seconds since 1970 UTC.
constexpr Bytes8 EncodeTime(std::int64_t t) { return EncodeLE64(static_cast<std::uint64_t>(t)); }
constexpr std::int64_t DecodeTime(const std::uint8_t* bytes) { return static_cast<std::int64_t>(DecodeLE64(bytes)); }

}  // namespace rw
