#include "engine/PlannedBreakTexts.h"

#include "core/ResourceString.h"
#include "res/string_ids.h"

namespace rw {

std::wstring CPlannedBreakTexts::TimeText(const CBreakTimed& record) {
    std::wstring text = locale_.TimeOfDayText(record.ClockHour(), record.ClockMinute());
    if (text.size() > kBreakTimedTextMax) text.resize(kBreakTimedTextMax);
    return text;
}

std::wstring CPlannedBreakTexts::DaysText(const CBreakTimed& record) {
    if (record.AllDays()) return rw::ResourceText(IDS_EVERY_DAY);
    LoadNames();
    std::wstring text;
    for (int i = 1; i <= 7; ++i) {  // Monday first, Sunday last
        const size_t day = static_cast<size_t>(i % 7);
        if (!record.m_bDays[day]) continue;
        text += names_[day];
        text += separator_;
    }
    if (!text.empty()) text.resize(text.size() - separator_.size());
    return text;
}

void CPlannedBreakTexts::LoadNames() {
    if (loaded_) return;
    for (int day = 0; day < 7; ++day) names_[static_cast<size_t>(day)] = locale_.AbbreviatedDayName(day);
    separator_ = locale_.ListSeparator();
    loaded_ = true;
}

}  // namespace rw
