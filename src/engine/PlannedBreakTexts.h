// How a planned break's time and days read in the user's locale. The abbreviated day names
// and the list separator are read from the locale once, on first use, and kept here; the
// owner keeps one of these for the whole run.
#pragma once
#include <array>
#include <string>

#include "engine/BreakTimed.h"
#include "platform/Locale.h"

namespace rw {

class CPlannedBreakTexts {
public:
    explicit CPlannedBreakTexts(rw::Locale& locale) : locale_(locale) {}

    // The time of day in the user's time format without seconds, at most 259 characters.
    std::wstring TimeText(const rw::CBreakTimed& record);
    // "Every day" (IDS_EVERY_DAY) with all seven days; else the abbreviated names of the set
    // days from Monday to Sunday, separated by the list separator; empty with no day.
    std::wstring DaysText(const rw::CBreakTimed& record);

private:
    void LoadNames();

    rw::Locale& locale_;
    bool loaded_ = false;
    std::array<std::wstring, 7> names_;  // 0 = Sunday
    std::wstring separator_;
};

}  // namespace rw
