// The achievement rating: a percentage that every minute of overdue work lowers and every
// rest after real work raises. The main window owns one and saves it as "Score".
#pragma once
#include <cstdint>

#include "settings/SettingsStore.h"

namespace rw {

class CAchievementRating {
public:
    // Work periods up to this long earn nothing when a rest ends them.
    static constexpr std::uint32_t kMinRatedWorkMs = 600000;

    float m_fScore = 50.0f;      // always within 0..100
    bool m_bScoreRising = true;  // the last change was upward; picks the bar image

    // "Score" (default 50) read as unsigned and limited to 100.
    void Load(const SettingsIdentity& identity);
    // One minute of overdue work: half a point, never below 0.
    void LowerForOverdueMinute();
    // A rest after workLengthMs of work with a work period of workPeriodMs: up to 5 points in
    // proportion to the work done, never above 100. False (nothing changes) when the work
    // lasted no longer than kMinRatedWorkMs.
    bool CreditRest(std::uint32_t workLengthMs, std::uint32_t workPeriodMs);
    // The rating as stored: truncated toward zero.
    std::uint32_t StoredValue() const;
    rw::HResult Save(const SettingsIdentity& identity) const;

    // The rating's title: IDS_RATING_TITLE_ON while reminders are on, else IDS_RATING_TITLE_OFF.
    static unsigned TitleTextId(bool remindersOn);
};

}  // namespace rw
