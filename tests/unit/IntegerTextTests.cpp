// The text form of the integers data exchange reads from and writes to controls, and the
// edges of the 64-bit range: the parser must refuse what does not fit without ever computing
// a value outside the type (the build traps signed overflow).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "framework/IntegerText.h"

namespace {

TEST(IntegerText, ParsesDecimalsWithinTheRangeWithoutOverflow) {
    struct Case {
        const wchar_t* text;
        std::int64_t min, max;
        std::optional<std::int64_t> value;
    };
    constexpr std::int64_t s16min = -32768, s16max = 32767, s32min = INT32_MIN, s32max = INT32_MAX;
    constexpr std::int64_t lo = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int64_t>::max();
    const Case cases[] = {
        {L"55", s16min, s16max, 55},
        {L"  7", s16min, s16max, 7},
        {L"\t-12", s16min, s16max, -12},
        {L"+5", s16min, s16max, 5},
        {L"0", s16min, s16max, 0},
        {L"-32768", s16min, s16max, -32768},
        {L"32767", s16min, s16max, 32767},
        {L"32768", s16min, s16max, std::nullopt},
        {L"-32769", s16min, s16max, std::nullopt},
        {L"70000", s16min, s16max, std::nullopt},
        {L"2147483647", s32min, s32max, 2147483647},
        {L"-2147483648", s32min, s32max, -2147483648LL},
        {L"2147483648", s32min, s32max, std::nullopt},
        {L"99999999999999999999999", s32min, s32max, std::nullopt},
        {L"", s16min, s16max, std::nullopt},
        {L"   ", s16min, s16max, std::nullopt},
        {L"-", s16min, s16max, std::nullopt},
        {L"abc", s16min, s16max, std::nullopt},
        {L"12x", s16min, s16max, std::nullopt},
        {L"12 ", s16min, s16max, std::nullopt},
        {L"1 2", s16min, s16max, std::nullopt},
        {L"--1", s16min, s16max, std::nullopt},
        {L"0x10", s16min, s16max, std::nullopt},
        {L"1.5", s16min, s16max, std::nullopt},
        // The edges of the 64-bit range.
        {L"9223372036854775807", lo, hi, hi},
        {L"-9223372036854775808", lo, hi, lo},
        {L"9223372036854775808", lo, hi, std::nullopt},
        {L"-9223372036854775809", lo, hi, std::nullopt},
        {L"9223372036854775810", lo, hi, std::nullopt},
        {L"-9223372036854775810", lo, hi, std::nullopt},
        {L"99999999999999999999", lo, hi, std::nullopt},
        {L"-99999999999999999999", lo, hi, std::nullopt},
        {L"000000000000000000000000000042", lo, hi, 42},
        // Ranges wholly below or above zero.
        {L"-7", -10, -5, -7},
        {L"3", -10, -5, std::nullopt},
        {L"0", -10, -5, std::nullopt},
        {L"99999999999999999999", -10, -5, std::nullopt},
        {L"-3", 5, 10, std::nullopt},
        {L"7", 5, 10, 7},
        {L"+0", lo, lo, std::nullopt},
        {L"-9223372036854775808", lo, lo, lo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rw::ParseInteger(c.text, c.min, c.max), c.value)
            << testing::PrintToString(std::wstring(c.text)) << " in " << c.min << ".." << c.max;
    }
}

}  // namespace
