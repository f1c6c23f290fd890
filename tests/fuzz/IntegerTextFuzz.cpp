// libFuzzer target for the integer text of the data exchange: the parser agrees with a
// reading in 128-bit arithmetic for any text and any range, and every value of the range
// reads back from its decimal text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "FuzzInput.h"
#include "framework/IntegerText.h"

using rw::fuzz::Require;

namespace {

std::optional<std::int64_t> Expected(const std::wstring& text, std::int64_t min, std::int64_t max) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    __int128 magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        // Past 2^64 the exact size no longer matters: it is outside every range.
        if (magnitude < (static_cast<__int128>(1) << 64)) magnitude = magnitude * 10 + (text[i] - L'0');
    }
    const __int128 value = negative ? -magnitude : magnitude;
    if (value < min || value > max) return std::nullopt;
    return static_cast<std::int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::int64_t min = INT64_MIN, max = INT64_MAX;
    if (size >= 16) {
        std::memcpy(&min, data, 8);
        std::memcpy(&max, data + 8, 8);
        data += 16;
        size -= 16;
    }
    const std::wstring text = rw::fuzz::Utf16Of(data, size);
    Require(rw::ParseInteger(text, min, max) == Expected(text, min, max));

    // A value of the range, taken from the text's bytes, reads back from its own decimal text.
    if (min <= max) {
        std::uint64_t pick = 0;
        if (size > 0) std::memcpy(&pick, data, size < 8 ? size : 8);
        const std::uint64_t span = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        const std::int64_t value = static_cast<std::int64_t>(static_cast<std::uint64_t>(min) +
                                                             (span == UINT64_MAX ? pick : pick % (span + 1)));
        const std::wstring decimal = std::to_wstring(value);
        Require(rw::ParseInteger(decimal, min, max) == value);
        Require(rw::ParseInteger(L" \t" + decimal, min, max) == value);
        if (value >= 0) Require(rw::ParseInteger(L"+" + decimal, min, max) == value);
        Require(!rw::ParseInteger(decimal + L" ", min, max));
    }
    return 0;
}
