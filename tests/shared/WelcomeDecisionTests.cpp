// The first-run decision of start-up over "Welcome" and "DisableWelcomeNewUsers", against the
// fake registry natively and the real one under Wine.
#include <gtest/gtest.h>

#include "RegistryTestEnv.h"
#include "settings/StartupLogic.h"

using namespace rw;
using namespace rw::test;

namespace {

constexpr std::int64_t kWelcomeNow = 1'700'000'000;
constexpr std::int64_t kDay = 86'400;

class WelcomeDecisionTest : public RegistryTest {
protected:
    void StoreWelcome(std::int64_t time) {
        PutDword(kHkeyCurrentUser, false, nullptr, L"Welcome", static_cast<std::uint32_t>(time));
    }
    void DisableWelcome(bool policy, std::uint32_t value) {
        PutDword(kHkeyLocalMachine, policy, L"Service", L"DisableWelcomeNewUsers", value);
    }
};

TEST_F(WelcomeDecisionTest, NoWelcomeValueRunsTheWizard) {
    const WelcomeDecision d = DecideWelcome(kTestIdentity, kWelcomeNow, false);
    EXPECT_EQ(d.step, WelcomeStep::RunWizard);
    EXPECT_EQ(d.welcomeTime, 0);
}

TEST_F(WelcomeDecisionTest, WelcomedUserIsNoFirstRun) {
    StoreWelcome(kWelcomeNow - 10 * kDay);
    const WelcomeDecision d = DecideWelcome(kTestIdentity, kWelcomeNow, false);
    EXPECT_EQ(d.step, WelcomeStep::None);
    EXPECT_EQ(d.welcomeTime, kWelcomeNow - 10 * kDay);
}

TEST_F(WelcomeDecisionTest, WelcomeTimeInTheFutureIsDroppedButStillCounts) {
    struct Case {
        std::int64_t stored;
        std::int64_t welcomeTime;
    };
    const Case cases[] = {
        {kWelcomeNow + 2 * kDay, 0},
        {kWelcomeNow + kDay + 1, 0},
        {kWelcomeNow + kDay, kWelcomeNow + kDay},  // exactly one day ahead is still believed
        {kWelcomeNow + 60, kWelcomeNow + 60},
    };
    for (const Case& c : cases) {
        StoreWelcome(c.stored);
        const WelcomeDecision d = DecideWelcome(kTestIdentity, kWelcomeNow, false);
        EXPECT_EQ(d.step, WelcomeStep::None) << c.stored - kWelcomeNow;
        EXPECT_EQ(d.welcomeTime, c.welcomeTime) << c.stored - kWelcomeNow;
    }
}

TEST_F(WelcomeDecisionTest, SilentStartNeverRunsTheWizard) {
    const WelcomeDecision d = DecideWelcome(kTestIdentity, kWelcomeNow, true);
    EXPECT_EQ(d.step, WelcomeStep::None);
}

TEST_F(WelcomeDecisionTest, MachinePolicySkipsTheWizardButKeepsTheFirstRun) {
    DisableWelcome(true, 1);
    EXPECT_EQ(DecideWelcome(kTestIdentity, kWelcomeNow, false).step, WelcomeStep::FirstRunWithoutWizard);
    // Silent: neither wizard nor first run.
    EXPECT_EQ(DecideWelcome(kTestIdentity, kWelcomeNow, true).step, WelcomeStep::None);
    // A welcomed user is not affected.
    StoreWelcome(kWelcomeNow);
    EXPECT_EQ(DecideWelcome(kTestIdentity, kWelcomeNow, false).step, WelcomeStep::None);
}

TEST_F(WelcomeDecisionTest, OnlyTheMachinePolicyKeyCounts) {
    DisableWelcome(false, 1);                                                    // plain machine key
    PutDword(kHkeyCurrentUser, true, L"Service", L"DisableWelcomeNewUsers", 1);  // user policy
    EXPECT_EQ(DecideWelcome(kTestIdentity, kWelcomeNow, false).step, WelcomeStep::RunWizard);
    DisableWelcome(true, 0);
    EXPECT_EQ(DecideWelcome(kTestIdentity, kWelcomeNow, false).step, WelcomeStep::RunWizard);
}

}  // namespace
