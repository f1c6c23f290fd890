#include "framework/IntegerText.h"

namespace rw {

std::optional<std::int64_t> ParseInteger(const std::wstring& text, std::int64_t min, std::int64_t max) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    // Accumulate as a negative number so that the most negative value fits; stop as soon as
    // the value leaves the range, so long digit strings cannot overflow.
    const std::int64_t limit = negative ? min : -max;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 - (text[i] - L'0');
        if (value < limit) return std::nullopt;
    }
    if (!negative) value = -value;
    if (value < min || value > max) return std::nullopt;
    return value;
}

}  // namespace rw
