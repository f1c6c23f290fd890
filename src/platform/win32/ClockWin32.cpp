#include "platform/win32/ClockWin32.h"

#include <windows.h>

#include <ctime>

namespace rw {

std::uint32_t InputClockWin32::TickCount() { return GetTickCount(); }

std::optional<std::uint32_t> InputClockWin32::LastInputTick() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info)) return std::nullopt;
    return info.dwTime;
}

std::int64_t CalendarWin32::Now() { return static_cast<std::int64_t>(_time64(nullptr)); }

std::optional<LocalTime> CalendarWin32::ToLocal(std::int64_t time) {
    const __time64_t t = time;
    std::tm tm{};
    if (_localtime64_s(&tm, &t) != 0) return std::nullopt;
    LocalTime local;
    local.year = tm.tm_year + 1900;
    local.month = tm.tm_mon + 1;
    local.day = tm.tm_mday;
    local.hour = tm.tm_hour;
    local.minute = tm.tm_min;
    local.second = tm.tm_sec;
    local.weekday = tm.tm_wday;
    return local;
}

}  // namespace rw
