#include "engine/AchievementRating.h"

#include "res/string_ids.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

constexpr float kMaxScore = 100.0f;
constexpr float kPenalty = 0.5f;
constexpr double kMaxGain = 5.0;

}  // namespace

void CAchievementRating::Load(const SettingsIdentity& identity) {
    // The catalogue caps "Score" at 100 as an unsigned value, so a negative one reads as 100.
    m_fScore = static_cast<float>(ReadSettingDword(identity, Setting::Score));
    m_bScoreRising = m_fScore >= 50.0f;
}

void CAchievementRating::LowerForOverdueMinute() {
    m_fScore = m_fScore - kPenalty < 0.0f ? 0.0f : m_fScore - kPenalty;
    m_bScoreRising = false;
}

bool CAchievementRating::CreditRest(std::uint32_t workLengthMs, std::uint32_t workPeriodMs) {
    if (workLengthMs <= kMinRatedWorkMs) return false;
    double gain = kMaxGain;
    if (workPeriodMs != 0) {
        const double share = static_cast<double>(workLengthMs) * kMaxGain / static_cast<double>(workPeriodMs);
        if (share < gain) gain = share;
    }
    const float raised = m_fScore + static_cast<float>(gain);
    m_fScore = raised > kMaxScore ? kMaxScore : raised;
    m_bScoreRising = true;
    return true;
}

std::uint32_t CAchievementRating::StoredValue() const {
    if (!(m_fScore > 0.0f)) return 0;  // NaN included
    if (m_fScore >= kMaxScore) return 100;
    return static_cast<std::uint32_t>(m_fScore);
}

rw::HResult CAchievementRating::Save(const SettingsIdentity& identity) const {
    return WriteSettingDword(identity, Setting::Score, StoredValue());
}

unsigned CAchievementRating::TitleTextId(bool remindersOn) {
    return remindersOn ? IDS_RATING_TITLE_ON : IDS_RATING_TITLE_OFF;
}

}  // namespace rw
