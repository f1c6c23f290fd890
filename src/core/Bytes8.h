// The 8-byte little-endian form in which version quads and calendar times are stored.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace rw {

using Bytes8 = std::array<std::uint8_t, 8>;

constexpr Bytes8 EncodeLE64(std::uint64_t value) {
    Bytes8 bytes{};
    for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

constexpr std::uint64_t DecodeLE64(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace rw
