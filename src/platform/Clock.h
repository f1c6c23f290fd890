// Time seams: the input clock (32-bit millisecond tick count and the time of the last
// keyboard or mouse input on the same clock) and the calendar clock.
#pragma once
#include <cstdint>
#include <optional>

namespace rw {

class InputClock {
public:
    virtual ~InputClock() = default;
    virtual std::uint32_t TickCount() = 0;
    // The tick of the last input; empty when the system cannot tell.
    virtual std::optional<std::uint32_t> LastInputTick() = 0;
};

// Broken-down local time, as the engine and the planned breaks need it.
struct LocalTime {
    int year = 0, month = 0, day = 0;  // month 1..12
    int hour = -1, minute = -1, second = 0;
    int weekday = -1;  // 0 = Sunday
};

class Calendar {
public:
    virtual ~Calendar() = default;
    // Seconds since 1970-01-01 UTC.
    virtual std::int64_t Now() = 0;
    // Empty when the time cannot be converted.
    virtual std::optional<LocalTime> ToLocal(std::int64_t time) = 0;
};

}  // namespace rw
