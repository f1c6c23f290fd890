// A planned break: a title, a local time of day and the weekdays it happens on, with the
// text form in which it is stored ("0" + seven Y/N day letters from Sunday + ",HHMM," +
// title, for example "0NYYYYYN,1230,Lunch").
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace rw {

// The stored text is read with room for this many characters.
constexpr size_t kBreakTimedTextMax = 259;
// The part of the text before the title.
constexpr size_t kBreakTimedTitleOffset = 14;
// Longest title whose record still loads whole; longer titles are cut when saved.
constexpr size_t kBreakTimedTitleMax = kBreakTimedTextMax - kBreakTimedTitleOffset;

using BreakDays = std::array<bool, 7>;  // index 0 = Sunday … 6 = Saturday

class CBreakTimed {
public:
    bool m_bInvalid = false;
    std::wstring m_strTitle;
    std::int32_t m_nTimeOfDay = 0;  // local seconds since midnight, whole minutes
    BreakDays m_bDays{};

    // A record from the editor: its time of day is the local hour and minute of time
    // (-1 hours or minutes when the local time cannot be had).
    static CBreakTimed Make(const std::wstring& title, std::int64_t time, const BreakDays& days, Calendar& calendar);
    void SetTimeOfDay(std::int64_t time, Calendar& calendar);

    // Parses the stored text; the result is marked invalid unless it is well formed and has
    // a title and at least one day.
    static CBreakTimed FromText(const std::wstring& text);
    // The stored text (at most kBreakTimedTextMax characters).
    std::wstring ToText() const;

    bool IsValid() const;
    bool AllDays() const;
    bool AnyDay() const;

    // The time of day as a wall-clock hour (0..23) and minute (0..59); a time that a hand
    // edit put outside one day is taken modulo a day, so the texts and the time picker
    // always get a real time.
    int ClockHour() const;
    int ClockMinute() const;
    // For a time picker: the clock hour and minute, seconds 0; the date is not used.
    LocalTime TimePickerValue() const;
};

}  // namespace rw
