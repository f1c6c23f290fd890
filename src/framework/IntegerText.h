// The text form of the integers that dialogs exchange with their edit fields: decimal, with an
// optional sign after optional leading blanks, nothing after the digits, and within the
// member's range. Portable, so the rules are tested natively.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace rw {

std::optional<std::int64_t> ParseInteger(const std::wstring& text, std::int64_t min, std::int64_t max);

}  // namespace rw
