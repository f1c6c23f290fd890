// The rating: its rules for penalties and credits, and its stored form ("Score"), against the
// fake registry natively and the real one under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "RegistryTestEnv.h"
#include "engine/AchievementRating.h"
#include "settings/SettingsCatalog.h"

using namespace rw;
using namespace rw::test;

namespace {

class AchievementRating : public RegistryTest {
protected:
    const SettingsIdentity& id = kTestIdentity;
};

TEST_F(AchievementRating, LoadsUnsignedAndLimitedTo100) {
    struct Case {
        bool stored;
        std::uint32_t value;
        float score;
        bool rising;
    };
    const Case cases[] = {
        {false, 0, 50.0f, true},   {true, 47, 47.0f, false},
        {true, 49, 49.0f, false},  {true, 50, 50.0f, true},
        {true, 0, 0.0f, false},    {true, 100, 100.0f, true},
        {true, 250, 100.0f, true}, {true, 0xFFFFFFFFu, 100.0f, true},  // a negative value
    };
    for (const Case& c : cases) {
        ResetTestRegistry();
        if (c.stored) PutDword(kHkeyCurrentUser, false, L"Breaks", L"Score", c.value);
        CAchievementRating rating;
        rating.m_fScore = -1.0f;
        rating.Load(id);
        EXPECT_EQ(rating.m_fScore, c.score) << c.value;
        EXPECT_EQ(rating.m_bScoreRising, c.rising) << c.value;
    }
}

TEST_F(AchievementRating, PenaltiesFloorAt0) {
    CAchievementRating rating;
    rating.m_fScore = 10.0f;
    rating.LowerForOverdueMinute();
    EXPECT_FLOAT_EQ(rating.m_fScore, 9.5f);
    EXPECT_FALSE(rating.m_bScoreRising);
    rating.m_fScore = 0.3f;
    rating.LowerForOverdueMinute();
    EXPECT_EQ(rating.m_fScore, 0.0f);
    rating.LowerForOverdueMinute();
    EXPECT_EQ(rating.m_fScore, 0.0f);
}

TEST_F(AchievementRating, CreditsCapAt5PointsAndAt100) {
    struct Case {
        float before;
        std::uint32_t lengthMs, periodMs;
        float after;
    };
    const Case cases[] = {
        {50.0f, 55 * 60000, 55 * 60000, 55.0f},    // a full work period: 5 points
        {50.0f, 120 * 60000, 30 * 60000, 55.0f},   // more than a full period: still 5
        {50.0f, 15 * 60000, 30 * 60000, 52.5f},    // half of it: 2.5
        {50.0f, 600001, 30 * 60000, 51.6666683f},  // ten minutes and a millisecond of 30
        {99.5f, 55 * 60000, 55 * 60000, 100.0f},
        {100.0f, 55 * 60000, 55 * 60000, 100.0f},
        {40.0f, 0xFFFFFFFFu, 0xFFFFFFFFu, 45.0f},  // the whole unsigned range, no overflow
        {40.0f, 600001, 0, 45.0f},                 // no work period set: the most a rest earns
    };
    for (const Case& c : cases) {
        CAchievementRating rating;
        rating.m_fScore = c.before;
        rating.m_bScoreRising = false;
        EXPECT_TRUE(rating.CreditRest(c.lengthMs, c.periodMs));
        EXPECT_NEAR(rating.m_fScore, c.after, 1e-4) << c.before << " + " << c.lengthMs << "/" << c.periodMs;
        EXPECT_TRUE(rating.m_bScoreRising);
    }
}

TEST_F(AchievementRating, TenMinutesOfWorkOrLessEarnNothing) {
    for (std::uint32_t length : {0u, 60000u, 600000u}) {
        CAchievementRating rating;
        rating.m_fScore = 30.0f;
        rating.m_bScoreRising = false;
        EXPECT_FALSE(rating.CreditRest(length, 30 * 60000));
        EXPECT_EQ(rating.m_fScore, 30.0f);
        EXPECT_FALSE(rating.m_bScoreRising);
    }
}

TEST_F(AchievementRating, SavesTruncated) {
    CAchievementRating rating;
    const std::pair<float, std::uint32_t> cases[] = {{47.9f, 47}, {0.0f, 0}, {0.49f, 0}, {100.0f, 100}, {99.99f, 99}};
    for (const auto& c : cases) {
        rating.m_fScore = c.first;
        EXPECT_EQ(rating.Save(id), kS_OK);
        EXPECT_EQ(ReadSettingDword(id, Setting::Score), c.second) << c.first;
    }
    rating.m_fScore = 47.9f;
    rating.Save(id);
    rating.m_fScore = 0.0f;
    rating.Load(id);
    EXPECT_EQ(rating.m_fScore, 47.0f);
}

TEST_F(AchievementRating, DirectionFollowsTheLastChange) {
    CAchievementRating rating;
    rating.m_fScore = 60.0f;
    rating.LowerForOverdueMinute();
    EXPECT_FALSE(rating.m_bScoreRising);  // the falling bar after the first penalty
    rating.CreditRest(20 * 60000, 55 * 60000);
    EXPECT_TRUE(rating.m_bScoreRising);  // and rising again after the next credit
}

}  // namespace
