// Win32 adapters of the time seams.
#pragma once
#include "platform/Clock.h"

namespace rw {

class InputClockWin32 final : public InputClock {
public:
    std::uint32_t TickCount() override;
    std::optional<std::uint32_t> LastInputTick() override;
};

class CalendarWin32 final : public Calendar {
public:
    std::int64_t Now() override;
    std::optional<LocalTime> ToLocal(std::int64_t time) override;
};

}  // namespace rw
