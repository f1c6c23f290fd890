#include "framework/IntegerText.h"

namespace rw {

std::optional<std::int64_t> ParseInteger(const std::wstring& text, std::int64_t min, std::int64_t max) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    // Accumulate as a negative number so that the most negative value fits, and check each
    // step against the limit before taking it, so long digit strings cannot overflow. A
    // positive text for a range below zero may still be 0 ("+0" in [-5, 0] is 0, above the
    // range is refused at the end).
    const std::int64_t limit = negative ? min : (max < 0 ? 0 : -max);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        const int digit = text[i] - L'0';
        // limit / 10 rounds towards zero: value * 10 stays at or above limit.
        if (value < limit / 10) return std::nullopt;
        value *= 10;
        if (value < limit + digit) return std::nullopt;
        value -= digit;
    }
    if (!negative) value = -value;
    if (value < min || value > max) return std::nullopt;
    return value;
}

}  // namespace rw
