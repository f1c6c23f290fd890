// The break settings as the user sees and chooses them: reminders on or off and the two
// periods in whole minutes. The engine holds one; the main window and the breaks page read it
// and hand a new one back. Limits and defaults are the catalogue's "Work" and "Rest" rows.
#pragma once
#include <string>

namespace rw {

struct BreakChoice {
    bool enabled = true;
    int workMinutes = 0;
    int restMinutes = 0;

    bool operator==(const BreakChoice& other) const {
        return enabled == other.enabled && workMinutes == other.workMinutes && restMinutes == other.restMinutes;
    }
    bool operator!=(const BreakChoice& other) const { return !(*this == other); }
};

// A period's range and default, in minutes.
struct PeriodLimits {
    int min, max, defaultMinutes;
    int Clamped(int minutes) const { return minutes < min ? min : minutes > max ? max : minutes; }
};
PeriodLimits WorkLimits();
PeriodLimits RestLimits();

// Reminders on, both periods at their defaults.
BreakChoice DefaultBreakChoice();
// The periods brought into their ranges.
BreakChoice ClampedChoice(BreakChoice choice);

// The sentence under the breaks group: "… a %1 minute break every %2 minutes", or the text
// for reminders switched off.
std::wstring DescribeBreakChoice(const BreakChoice& choice);

}  // namespace rw
