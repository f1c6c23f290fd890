// The text form of the integers data exchange reads from and writes to controls.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "framework/IntegerText.h"

namespace {

TEST(IntegerText, ParsesDecimalsWithinTheRange) {
    struct Case {
        const wchar_t* text;
        std::int64_t min, max;
        std::optional<std::int64_t> value;
    };
    constexpr std::int64_t s16min = -32768, s16max = 32767, s32min = INT32_MIN, s32max = INT32_MAX;
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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rw::ParseInteger(c.text, c.min, c.max), c.value) << testing::PrintToString(std::wstring(c.text));
    }
}

}  // namespace
