// The break engine over minutes and hours of scripted input, read as stories.
#include "EngineSim.h"
#include "fakes/FakeRegistry.h"
#include "res/resource.h"

using namespace rw;
using namespace rw::test;

namespace {

class BreakEngine : public EngineSim {};

TEST_F(BreakEngine, TheRoadOfOneBreak) {
    Start();
    WorkMinutes(54);
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    EXPECT_EQ(engine->Status(), L"You have been working for 54 minutes.");
    EXPECT_TRUE(host.shown.empty());

    WorkMinutes(1);  // the tick at 55 minutes
    EXPECT_EQ(host.trayIcon, IDI_BREAK_DUE);
    EXPECT_EQ(host.statusIcon, IDI_BREAK_DUE);
    EXPECT_EQ(engine->Status(), L"You have been working for 55 minutes. Time for a break.");
    EXPECT_EQ(host.tooltip, L"Restwell\nYou have been working for 55 minutes.\nTime for a break.");
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text, L"You have been using this computer for 55 minutes.\nTime for a 5 minute break.");
    EXPECT_EQ(host.shown[0].timeoutMs, 20000u);
    EXPECT_EQ(host.shown[0].icon, IDI_BREAK_DUE);
    EXPECT_EQ(host.shown[0].breakDue, std::optional<bool>(true));
    EXPECT_EQ(host.shown[0].extra, L"");

    const int hides = host.hides;
    engine->OnSuspend(SuspendCommand::For15Minutes);
    EXPECT_EQ(engine->SuspendMs(), 15u * 60000);
    EXPECT_EQ(host.hides, hides + 1);
    EXPECT_EQ(host.trayIcon, IDI_DUE_SUSPENDED);
    WorkMinutes(10);
    EXPECT_EQ(host.trayIcon, IDI_DUE_SUSPENDED);
    EXPECT_EQ(host.shown.size(), 1u);  // no reminder while suspended
    EXPECT_EQ(Score(), 50.0f);         // and no penalty
    WorkMinutes(5);                    // minute 70: the quarter of an hour is over
    EXPECT_EQ(host.trayIcon, IDI_BREAK_DUE);
    EXPECT_EQ(host.shown.size(), 2u);  // reminded again
    EXPECT_EQ(Score(), 49.5f);         // and charged again

    IdleMinutes(2);
    EXPECT_EQ(host.trayIcon, IDI_RESTING);
    EXPECT_EQ(engine->Status(), L"Resting...");
    IdleMinutes(3);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_EQ(engine->Status(), L"You are rested.");
    EXPECT_EQ(Score(), 54.5f);  // the most a rest can earn
    EXPECT_TRUE(engine->Rating().m_bScoreRising);
    EXPECT_FALSE(engine->IsSuspended(input.tick, calendar.Now()));
    EXPECT_EQ(engine->SuspendMs(), 0u);
    EXPECT_EQ(engine->WorkStartTick(), 0);
    EXPECT_GT(host.barRepaints, 0);
}

TEST_F(BreakEngine, OverdueWorkIsRemindedEveryFiveMinutesAndCostsAPenaltyAMinute) {
    Start();
    WorkMinutes(55);
    EXPECT_EQ(BreakReminders(), 1);
    EXPECT_EQ(Score(), 50.0f);  // the first minute after the break fell due costs nothing
    WorkMinutes(1);
    EXPECT_EQ(Score(), 49.5f);
    EXPECT_FALSE(engine->Rating().m_bScoreRising);
    WorkMinutes(3);
    EXPECT_EQ(BreakReminders(), 1);
    EXPECT_EQ(Score(), 48.0f);
    WorkMinutes(1);  // 60 minutes
    EXPECT_EQ(BreakReminders(), 2);
    EXPECT_EQ(host.shown.back().text, L"You have been using this computer for 60 minutes.\nTime for a 5 minute break.");
    WorkMinutes(5);
    EXPECT_EQ(BreakReminders(), 3);
    EXPECT_EQ(Score(), 45.0f);  // minutes 56 to 65
    // A quiet tick (the tray icon clicked) never reminds.
    WorkMinutes(4);
    engine->OnIconClicked();
    EXPECT_EQ(BreakReminders(), 3);
}

TEST_F(BreakEngine, IdleTimeDecidesWorkingRestingAndRested) {
    Start();
    WorkMinutes(20);
    Idle(59);
    UntilNextTick(false);  // idle now 60 s or a little more, depending on the tick
    EXPECT_EQ(host.trayIcon, IDI_RESTING);

    Work(1);
    UntilNextTick(true);
    EXPECT_EQ(host.trayIcon, IDI_WORKING);  // back to the same work period
    EXPECT_EQ(engine->Status(), L"You have been working for 21 minutes.");

    const std::uint32_t lastInput = input.tick;
    Idle(299);
    EXPECT_NE(host.trayIcon, IDI_RESTED);
    Idle(30);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    // The work period ended at the last input, not at the tick that noticed it.
    EXPECT_EQ(engine->RestMarkTick(), static_cast<std::int64_t>(lastInput));
    EXPECT_EQ(engine->WorkStartTick(), 0);
    // The next input starts a new period, shown from the tick after.
    Work(1);
    const std::uint32_t firstInput = input.tick;
    UntilNextTick(false);
    EXPECT_EQ(engine->WorkStartTick(), static_cast<std::int64_t>(firstInput));
}

TEST_F(BreakEngine, FiftyNineIdleSecondsStillCountAsWork) {
    Start();
    WorkMinutes(10);
    // Arrange a tick exactly 59 s and one exactly 60 s after the last input.
    UntilNextTick(true);
    input.lastInput = input.tick;
    input.tick += 59000;
    calendar.Advance(59);
    engine->OnTickTimer();
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    input.tick += 1000;
    calendar.Advance(1);
    engine->OnTickTimer();
    EXPECT_EQ(host.trayIcon, IDI_RESTING);
    // Rested exactly when the idle time reaches the rest period.
    input.tick += 239999;
    calendar.Advance(240);
    engine->OnTickTimer();
    EXPECT_EQ(host.trayIcon, IDI_RESTING);
    input.tick += 1;
    engine->OnTickTimer();
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
}

TEST_F(BreakEngine, IAmRestedEndsEverythingAndCreditsOnlyRealWork) {
    Start();
    WorkMinutes(10);
    engine->OnSuspend(SuspendCommand::UntilNextRest);
    EXPECT_EQ(engine->SuspendedUntil(), CBreakEngine::kSuspendUntilRest);
    engine->OnIAmRested();
    EXPECT_EQ(Score(), 50.0f);  // exactly ten minutes earn nothing
    EXPECT_EQ(engine->SuspendedUntil(), 0);
    EXPECT_EQ(engine->WorkStartTick(), 0);
    EXPECT_EQ(engine->ReminderMinutes(), 0u);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    engine->OnIAmRested();  // again, while waiting for work: nothing to credit
    EXPECT_EQ(Score(), 50.0f);

    Work(1);
    UntilNextTick(true);
    WorkMinutes(30);
    engine->OnIAmRested();
    EXPECT_NEAR(Score(), 50.0f + 5.0f * 30 / 55, 0.05f);
}

TEST_F(BreakEngine, ARestJustOverTenMinutesGainsInProportion) {
    PutSetting(L"Breaks", L"Work", 30);
    Start();
    // Work starts at the first tick, with the input of that moment; make the period exactly
    // ten minutes and one millisecond.
    ASSERT_EQ(engine->WorkStartTick(), static_cast<std::int64_t>(input.tick));
    input.tick += 600001;
    input.lastInput = input.tick;
    engine->OnIAmRested();
    EXPECT_NEAR(Score(), 50.0f + 600001.0f * 5 / 1800000, 0.001f);  // about 1.67 points
}

TEST_F(BreakEngine, SuspensionsAndTheirTimes) {
    AddPlanned(L"0YYYYYYY,0930,Standup", 0);
    Start();
    WorkMinutes(5);
    engine->OnSuspend(SuspendCommand::For30Minutes);
    EXPECT_EQ(engine->SuspendMs(), 30u * 60000);
    engine->OnSuspend(SuspendCommand::UntilPlannedBreak);
    EXPECT_EQ(engine->SuspendMs(), 0u);
    EXPECT_EQ(engine->SuspendedUntil(), calendar.LocalToTime(2026, 12, 7, 9, 30));
}

TEST_F(BreakEngine, PlannedBreakCountdownAndTimeouts) {
    calendar.SetLocalNow(2026, 12, 7, 8, 59, 0);
    AddPlanned(L"0YYYYYYY,1000,Lunch", 0);
    PutSetting(L"Breaks", L"Work", 90);  // no break falls due on the way
    Start();
    EXPECT_EQ(host.alertPlannedMinutes, -1);  // 61 minutes away: no countdown
    EXPECT_FALSE(host.suspendUntilPlannedEnabled);
    EXPECT_EQ(engine->PlannedLine(), L"At 10:00, Lunch, is your next planned break.");
    EXPECT_EQ(host.events.at(5), std::make_pair(calendar.LocalToTime(2026, 12, 7, 10, 0), std::int64_t{0}));

    WorkMinutes(1);  // 09:00, 60 minutes away
    EXPECT_EQ(host.alertPlannedMinutes, 60);
    EXPECT_TRUE(host.suspendUntilPlannedEnabled);
    EXPECT_EQ(host.tooltip, L"Restwell\nYou have been working for 1 minute.\n60 minutes until Lunch.");

    Work(58 * 60 + 30);  // 09:58:30, 90 seconds away
    EXPECT_EQ(host.alertPlannedMinutes, 2);
    EXPECT_NE(host.tooltip.find(L"\n2 minutes until Lunch."), std::wstring::npos);
    Work(30);  // 09:59
    EXPECT_EQ(host.alertPlannedMinutes, 1);
    EXPECT_NE(host.tooltip.find(L"\n1 minute until Lunch."), std::wstring::npos);

    Work(60);  // 10:00, its own minute
    EXPECT_EQ(host.alertPlannedMinutes, 0);
    EXPECT_FALSE(host.suspendUntilPlannedEnabled);
    EXPECT_NE(host.tooltip.find(L"\nLunch is due now."), std::wstring::npos);
    // The worker's planned-break message: shown now, for the rest of the minute.
    engine->OnPlannedBreakDue();
    const int hides = host.hides;
    ASSERT_FALSE(host.shown.empty());
    EXPECT_EQ(host.shown.back().extra, L"Lunch is due now.");
    EXPECT_EQ(host.shown.back().icon, IDI_WORKING);
    EXPECT_EQ(host.shown.back().timeoutMs, 59000u);
    EXPECT_EQ(host.shown.back().breakDue, std::optional<bool>(false));
    EXPECT_EQ(host.shown.back().text, L"Restwell\nYou have been working for 61 minutes.");  // the countdown only once
    Work(45);
    EXPECT_EQ(host.hides, hides);  // ticks in the break's own minute leave it up
    engine->OnPlannedBreakDue();
    EXPECT_EQ(host.shown.back().timeoutMs, 20000u);  // 15 s left, but at least 20 s

    Work(15);                      // 10:01: the next occurrence is tomorrow
    EXPECT_GT(host.hides, hides);  // and the next tick takes it down
    EXPECT_EQ(host.alertPlannedMinutes, -1);
    EXPECT_EQ(engine->PlannedLine(), L"Tomorrow at 10:00, Lunch, is your next planned break.");
    EXPECT_EQ(host.events.at(5).first, calendar.LocalToTime(2026, 12, 8, 10, 0));
}

TEST_F(BreakEngine, APlannedBreakMomentShowsTheStateWithTheCountdownAsTheExtraLineOnly) {
    AddPlanned(L"0YYYYYYY,0910,Tea", 0);
    AddPlanned(L"0YYYYYYY,0920,Walk", 1);
    AddPlanned(L"0YYYYYYY,0930,Stretch", 2);
    Start();
    WorkMinutes(10);  // 09:10, working
    engine->OnPlannedBreakDue();
    WorkMinutes(8);
    IdleMinutes(2);  // 09:20, resting
    engine->OnPlannedBreakDue();
    Sleep(10 * 60);  // 09:30, rested: the tick that recognises it
    engine->OnPlannedBreakDue();
    struct Shown {
        const wchar_t* text;
        const wchar_t* extra;
        int icon;
    };
    const Shown expected[] = {{L"Restwell\nYou have been working for 10 minutes.", L"Tea is due now.", IDI_WORKING},
                              {L"Restwell\nResting...", L"Walk is due now.", IDI_RESTING},
                              {L"Restwell\nYou are rested.", L"Stretch is due now.", IDI_RESTED}};
    ASSERT_EQ(host.shown.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.shown[i].text, expected[i].text);
        EXPECT_EQ(host.shown[i].extra, expected[i].extra);
        EXPECT_EQ(host.shown[i].icon, expected[i].icon);
        EXPECT_EQ(host.shown[i].breakDue, std::optional<bool>(false));
    }
    EXPECT_EQ(host.tooltip, L"Restwell\nYou are rested.\nStretch is due now.");  // the tooltip keeps it
}

TEST_F(BreakEngine, APlannedBreakMomentRemindsOfAnOverdueBreakEvenWhileSuspended) {
    calendar.SetLocalNow(2026, 12, 7, 9, 0, 0);
    AddPlanned(L"0YYYYYYY,1000,Lunch", 0);
    Start();
    WorkMinutes(56);
    EXPECT_EQ(BreakReminders(), 1);
    engine->OnSuspend(SuspendCommand::UntilNextRest);
    Work(4 * 60 + 10);  // 10:00:10, the break's own minute
    EXPECT_EQ(BreakReminders(), 1);
    engine->OnPlannedBreakDue();
    ASSERT_EQ(BreakReminders(), 2);
    EXPECT_EQ(host.shown.back().extra, L"Lunch is due now.");
    EXPECT_EQ(host.shown.back().timeoutMs, 50000u);  // the rest of the minute
    EXPECT_EQ(host.trayIcon, IDI_DUE_SUSPENDED);
    EXPECT_EQ(Score(), 50.0f - 0.5f);  // only minute 56 was charged; none while suspended
    Work(20);
    engine->OnPlannedBreakDue();  // the same minute again: shown again, five minutes or not
    EXPECT_EQ(BreakReminders(), 3);
}

TEST_F(BreakEngine, ACustomizedChoiceHoldsAtOnceWithTheCataloguesLimits) {
    Start();
    WorkMinutes(35);
    engine->OnSuspend(SuspendCommand::UntilNextRest);
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    // The catalogue's rules, as for a stored pair: one the wrong way round is swapped.
    engine->OnCustomizeConfirmed({true, 20, 45}, CPlannedBreakList());
    EXPECT_EQ(engine->Choice(), (BreakChoice{true, 45, 20}));
    EXPECT_EQ(engine->SuspendedUntil(), 0);
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    // A shorter work period than the 35 minutes worked, into the ranges: due at once.
    engine->OnCustomizeConfirmed({true, 10, 2}, CPlannedBreakList());
    EXPECT_EQ(engine->Choice(), (BreakChoice{true, 30, 3}));
    EXPECT_EQ(host.trayIcon, IDI_BREAK_DUE);
    EXPECT_EQ(engine->Status(), L"You have been working for 35 minutes. Time for a break.");
    ASSERT_FALSE(host.shown.empty());
    EXPECT_EQ(host.shown.back().text, L"You have been using this computer for 35 minutes.\nTime for a 3 minute break.");

    // Off: the timer stops, the program's own icon, no status.
    engine->OnCustomizeConfirmed({false, 30, 30}, CPlannedBreakList());
    EXPECT_FALSE(host.timerPeriodMs.has_value());
    EXPECT_EQ(host.trayIcon, IDI_PROGRAM);
    EXPECT_EQ(engine->Status(), L"");
    // On again: the timer runs and the state shows.
    engine->OnCustomizeConfirmed({true, 60, 5}, CPlannedBreakList());
    EXPECT_TRUE(host.timerPeriodMs.has_value());
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    EXPECT_EQ(engine->Status(), L"You have been working for 35 minutes.");
}

TEST_F(BreakEngine, TheSummaryLineNamesTheDay) {
    struct Case {
        const wchar_t* record;
        const wchar_t* line;
    };
    // Monday 09:00.
    for (const Case& c : {Case{L"0NNYNNNN,1003,Walk", L"Tomorrow at 10:03, Walk, is your next planned break."},
                          Case{L"0NNNYNNN,0700,Swim", L"In 2 days at 07:00, Swim, is your next planned break."},
                          Case{L"0NYNNNNN,0859,Tea", L"In 7 days at 08:59, Tea, is your next planned break."}}) {
        CPlannedBreakList planned;
        planned.Insert(CBreakTimed::FromText(c.record));
        if (!engine) Start();
        engine->OnCustomizeConfirmed(engine->Choice(), planned);
        EXPECT_EQ(engine->PlannedLine(), c.line);
    }
    engine->OnCustomizeConfirmed(engine->Choice(), CPlannedBreakList());
    EXPECT_EQ(engine->PlannedLine(), L"You have not specified any Planned Breaks.");
    EXPECT_EQ(host.events.count(5), 0u);
}

TEST_F(BreakEngine, ReminderComesBackAtOnceWhenThePlannedBreakChanges) {
    Start();
    WorkMinutes(56);
    EXPECT_EQ(BreakReminders(), 1);
    CPlannedBreakList planned;
    planned.Insert(CBreakTimed::FromText(L"0YYYYYYY,2300,Late"));
    engine->OnCustomizeConfirmed(engine->Choice(), planned);
    EXPECT_EQ(BreakReminders(), 2);
    Work(20);
    EXPECT_EQ(BreakReminders(), 2);
}

TEST_F(BreakEngine, ASleepLongerThanTheRestPeriodIsARest) {
    Start();
    WorkMinutes(30);
    Sleep(6 * 60);
    input.lastInput = input.tick;  // the key that woke the machine
    engine->OnPowerOrClockChange();
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_EQ(engine->WorkStartTick(), 0);
    EXPECT_GT(Score(), 50.0f);
}

TEST_F(BreakEngine, ASleepShorterThanTheRestPeriodKeepsTheWorkPeriod) {
    Start();
    WorkMinutes(30);
    Sleep(4 * 60);
    input.lastInput = input.tick;
    engine->OnPowerOrClockChange();
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    EXPECT_EQ(engine->Status(), L"You have been working for 34 minutes.");
}

TEST_F(BreakEngine, SwitchingRemindersOff) {
    AddPlanned(L"0YYYYYYY,1000,Lunch", 0);
    Start();
    WorkMinutes(2);
    EXPECT_EQ(host.events.count(5), 1u);
    ASSERT_TRUE(host.timerPeriodMs.has_value());
    PutSetting(L"Breaks", L"Enable", 0);
    engine->ReloadSettings();
    EXPECT_FALSE(host.timerPeriodMs.has_value());
    EXPECT_EQ(host.trayIcon, IDI_PROGRAM);
    EXPECT_EQ(host.tooltip, L"Restwell");
    EXPECT_EQ(host.statusIcon, 0);
    EXPECT_EQ(engine->Status(), L"");
    EXPECT_EQ(engine->PlannedLine(), L"");
    EXPECT_EQ(host.events.count(5), 0u);
    EXPECT_EQ(engine->NextPlannedTime(), -1);
    // Nothing happens while off.
    WorkMinutes(90);
    EXPECT_TRUE(host.shown.empty());

    PutSetting(L"Breaks", L"Enable", 1);
    engine->ReloadSettings();
    EXPECT_TRUE(host.timerPeriodMs.has_value());
    EXPECT_EQ(engine->PlannedLine(), L"Tomorrow at 10:00, Lunch, is your next planned break.");
    EXPECT_EQ(host.events.count(5), 1u);
}

TEST_F(BreakEngine, TheTimerWaitsForTheNextMinuteOfWorkAndTheEndOfASuspension) {
    calendar.SetLocalNow(2026, 12, 7, 9, 0, 45);
    Start();  // the input at start begins the work period
    EXPECT_EQ(*host.timerPeriodMs, 60000u);
    // One tick a minute, on the minutes of the work period, set once: each shows the minute
    // it falls on.
    WorkMinutes(29);
    Work(59);
    EXPECT_EQ(engine->Status(), L"You have been working for 29 minutes.");
    Work(1);
    EXPECT_EQ(engine->Status(), L"You have been working for 30 minutes.");
    EXPECT_EQ(host.timerTicks, 30);
    EXPECT_EQ(host.tickSeconds, (std::set<int>{45}));
    EXPECT_EQ(host.timerSets, 1);
    // While work goes on, the last activity is all that is written, once a minute.
    FakeRegistry& registry = static_cast<FakeRegistry&>(TestRegistry());
    const int writes = registry.valueWrites;
    WorkMinutes(10);
    EXPECT_EQ(registry.valueWrites - writes, 10);
    // The break falls due, and is reminded, on its minute.
    WorkMinutes(15);
    EXPECT_EQ(BreakReminders(), 1);
    EXPECT_EQ(host.timerTicks, 55);

    // A suspension between two minutes ends on its own second, with the reminder.
    Work(20);
    engine->OnSuspend(SuspendCommand::For15Minutes);
    Work(15 * 60 - 1);
    EXPECT_EQ(BreakReminders(), 1);
    Work(1);
    EXPECT_EQ(BreakReminders(), 2);
    EXPECT_EQ(host.trayIcon, IDI_BREAK_DUE);
    EXPECT_EQ(host.timerTicks, 71);  // the fifteen minutes, and the end
    // Then on the work period's minutes again.
    WorkMinutes(3);
    EXPECT_EQ(host.timerTicks, 74);

    // A pause 50 seconds short of the rest period, begun a second before a minute's look, is
    // no rest: the work period goes on.
    UntilNextTick(true);
    Work(59);
    const std::int64_t workStart = engine->WorkStartTick();
    Idle(5 * 60 - 50);
    Work(60);
    EXPECT_EQ(engine->WorkStartTick(), workStart);

    // Rested: the first input is looked for every 20 seconds.
    IdleMinutes(6);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    const int ticks = host.timerTicks;
    IdleMinutes(5);
    EXPECT_EQ(host.timerTicks - ticks, 15);
}

TEST_F(BreakEngine, APlannedBreakIsCountedDownOnTheMinutesOfTheClock) {
    AddPlanned(L"0YYYYYYY,1030,Lunch", 0);
    calendar.SetLocalNow(2026, 12, 7, 9, 0, 30);
    Start();
    // Until the countdown starts at 09:30:00 the work period's minutes, at :30, are all.
    Work(29 * 60 + 29);
    EXPECT_EQ(host.alertPlannedMinutes, -1);
    Work(1);
    EXPECT_EQ(host.alertPlannedMinutes, 60);
    EXPECT_EQ(host.tickSeconds, (std::set<int>{30, 0}));
    EXPECT_EQ(host.timerTicks, 30);
    // Then each minute of the clock as well.
    Work(60);
    EXPECT_EQ(host.alertPlannedMinutes, 59);
    WorkMinutes(10);
    EXPECT_EQ(host.timerTicks, 30 + 2 * 11);
}

TEST_F(BreakEngine, RestartShorterThanTheRestPeriodResumesTheWorkPeriod) {
    Start();
    WorkMinutes(30);
    Stop();
    EXPECT_FALSE(host.timerPeriodMs.has_value());  // the save stopped the timer
    std::int64_t activeLast = 0, workStart = 0;
    EXPECT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeActiveLast, activeLast));
    EXPECT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, workStart));
    EXPECT_EQ(activeLast, calendar.Now());
    EXPECT_EQ(workStart, calendar.Now() - 1800);

    Sleep(120);
    Start();
    EXPECT_EQ(engine->WorkStartTick(), static_cast<std::int64_t>(input.tick) - 1920000);
    WorkMinutes(22);  // 09:54
    EXPECT_EQ(BreakReminders(), 0);
    WorkMinutes(1);
    EXPECT_EQ(BreakReminders(), 1);  // 55 minutes after the work began, across the restart
}

// Started while the user has been away longer than a rest (a restart with no work period
// saved): the absence is a rest, not work. The work period begins with the input that ends it.
TEST_F(BreakEngine, AStartDuringALongAbsenceCountsTheWorkFromTheReturn) {
    input.lastInput = input.tick - 40 * 60000;
    Start();
    EXPECT_EQ(engine->WorkStartTick(), 0);
    Work(15);  // back a moment after the start; the next tick (09:00:20) begins the work period
    WorkMinutes(50);
    EXPECT_EQ(engine->Status(), L"You have been working for 49 minutes.");
    EXPECT_EQ(BreakReminders(), 0);
    WorkMinutes(6);
    EXPECT_EQ(BreakReminders(), 1);
}

// A touch of the mouse after a rest and the lid closed before the next tick: the night is
// no work. Waking up, the user works from the new input on, and no rest is credited for it.
TEST_F(BreakEngine, ASleepRightAfterTheFirstInputOfAWorkPeriodIsNeitherWorkNorCredit) {
    Start();
    WorkMinutes(30);
    IdleMinutes(10);
    const float rated = Score();
    Work(2);
    Sleep(8 * 3600);
    engine->OnPowerOrClockChange();
    WorkMinutes(30);
    EXPECT_EQ(Score(), rated);
    EXPECT_EQ(engine->Status(), L"You have been working for 29 minutes.");
    EXPECT_EQ(BreakReminders(), 0);
}

TEST_F(BreakEngine, RestartLongerThanTheRestPeriodIsARestWithItsCredit) {
    Start();
    WorkMinutes(30);
    Stop();
    EXPECT_EQ(ReadSettingDword(kTestIdentity, Setting::Score), 50u);
    // A reboot: the tick count starts again near zero.
    calendar.Advance(600);
    input.tick = 90000;
    input.lastInput = 90000;
    Start();
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_NEAR(Score(), 50.0f + 5.0f * 40 / 55, 0.05f);  // thirty minutes of work plus the ten away
}

TEST_F(BreakEngine, BadStoredTimesDiscardTheRestore) {
    const std::int64_t now = calendar.Now();
    struct Case {
        std::int64_t activeLast, workStart;
    };
    constexpr std::int64_t kMin = INT64_MIN, kMax = INT64_MAX;
    for (const Case& c : {Case{0, now - 60}, Case{now + 10, now - 60}, Case{now, 0}, Case{now, now + 5},
                          Case{now - 60, 1},  // a work start in 1970 with recent activity
                          Case{now - 60, kMin}, Case{kMin, kMin}, Case{kMax, now - 60}, Case{kMax, kMax},
                          Case{now - 60, now - 2 * 86400},  // two days of work without a rest
                          Case{now - 60, now - 30}}) {      // a work start after the last activity
        SCOPED_TRACE(testing::Message() << "stored " << c.activeLast << ", " << c.workStart);
        ResetTestRegistry();
        WriteSettingInt64(kTestIdentity, Setting::TimeActiveLast, c.activeLast);
        WriteSettingInt64(kTestIdentity, Setting::TimeWorkStart, c.workStart);
        CBreakEngine restored(BreakEngineSeams{host, host, host, input, calendar, texts, kTestIdentity});
        EXPECT_EQ(restored.LastInputTick(), 0);
        EXPECT_EQ(restored.RestMarkTick(), 0);
        EXPECT_EQ(restored.WorkStartTick(), 0);
    }
    // Reminders off: nothing is restored and nothing but the rating is saved.
    ResetTestRegistry();
    WriteSettingInt64(kTestIdentity, Setting::TimeActiveLast, now - 60);
    WriteSettingInt64(kTestIdentity, Setting::TimeWorkStart, now - 600);
    PutSetting(L"Breaks", L"Enable", 0);
    CBreakEngine off(BreakEngineSeams{host, host, host, input, calendar, texts, kTestIdentity});
    EXPECT_EQ(off.WorkStartTick(), 0);
    off.SaveBreakState();
    std::int64_t stored = 0;
    EXPECT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, stored));
    EXPECT_EQ(stored, now - 600);
}

TEST_F(BreakEngine, TheRatingIsSavedTruncated) {
    Start();
    WorkMinutes(56);  // the first penalty: half a point
    ASSERT_EQ(Score(), 49.5f);
    Stop();
    EXPECT_EQ(ReadSettingDword(kTestIdentity, Setting::Score), 49u);
}

TEST_F(BreakEngine, TickCountWrap) {
    input.tick = input.lastInput = 0xFFFFFFFFu - 90000;
    Start();
    WorkMinutes(3);  // across the wrap
    EXPECT_LT(input.tick, 200000u);
    EXPECT_EQ(engine->Status(), L"You have been working for 3 minutes.");
    IdleMinutes(6);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
}

TEST_F(BreakEngine, ARestMarkOnEitherSideOfTheWrap) {
    input.tick = input.lastInput = 0xFFFFFFFFu - 200000;
    Start();
    Work(60);
    // The rest is booked before the wrap, with the last input as its mark.
    Idle(360);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_GT(engine->RestMarkTick(), 0xFFFFFFFFll - 200000);
    ASSERT_LT(input.tick, 300000u);  // wrapped
    EXPECT_EQ(engine->WorkStartTick(), 0);
    // Input after the wrap is later than the mark: a new work period.
    Work(20);
    EXPECT_NE(engine->WorkStartTick(), 0);
    EXPECT_LT(engine->WorkStartTick(), 300000);

    // A mark just after the wrap: an input read from before it is earlier, not later.
    engine->OnIAmRested();
    ASSERT_EQ(engine->RestMarkTick(), static_cast<std::int64_t>(input.lastInput));
    ASSERT_EQ(engine->WorkStartTick(), 0);
    input.lastInput = 0xFFFFF000u;
    input.tick += 1000;
    engine->OnTickTimer();
    EXPECT_EQ(engine->WorkStartTick(), 0);
}

TEST_F(BreakEngine, InputClockDifferencesAreSigned32Bit) {
    struct Case {
        std::int64_t later, earlier;
        std::int32_t ms;
    };
    const Case cases[] = {
        {5000, 2000, 3000},
        {2000, 5000, -3000},                     // input that came between the two reads
        {1000, 0xFFFFF000ll, 1000 + 0x1000},     // across the wrap
        {0xFFFFF000ll, 1000, -(1000 + 0x1000)},  // a mark set after the wrap, an input before it
        {90000, -50000, 140000},                 // a restored time from before the tick count began
        {0x7FFFFFFFll, 0, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InputTicksBetween(c.earlier, c.later), c.ms) << c.later << " - " << c.earlier;
    }
}

TEST_F(BreakEngine, LeavingBeforeTheWrapAndComingBackAfterIsARest) {
    input.tick = input.lastInput = 0xFFFFFFFFu - 13 * 60000;
    Start();
    WorkMinutes(11);
    IdleMinutes(20);  // the tick count wraps two minutes into the absence
    EXPECT_LT(input.tick, 0x80000000u);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_EQ(engine->WorkStartTick(), 0);
    EXPECT_EQ(BreakReminders(), 0);
    EXPECT_GT(Score(), 50.0f);
}

TEST_F(BreakEngine, AWorkPeriodSavedAcrossTheWrapIsRestored) {
    input.tick = input.lastInput = 0xFFFFFFFFu - 5 * 60000;
    Start();
    WorkMinutes(10);  // wraps after five
    Stop();
    std::int64_t workStart = 0;
    ASSERT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, workStart));
    EXPECT_NEAR(static_cast<double>(workStart), static_cast<double>(calendar.Now() - 600), 2.0);
    Sleep(60);
    Start();
    EXPECT_NE(engine->WorkStartTick(), 0);
    WorkMinutes(1);
    EXPECT_EQ(engine->Status(), L"You have been working for 12 minutes.");
}

TEST_F(BreakEngine, ASleepAcrossTheWrapIsARest) {
    input.tick = input.lastInput = 0xFFFFFFFFu - 25 * 60000;
    Start();
    WorkMinutes(20);
    Sleep(10 * 60);  // the tick count wraps during the sleep
    input.lastInput = input.tick;
    engine->OnPowerOrClockChange();
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_EQ(engine->WorkStartTick(), 0);
}

TEST_F(BreakEngine, AnUnreadableLastInputKeepsTheState) {
    Start();
    WorkMinutes(5);
    const std::wstring status = engine->Status();
    const std::int64_t lastInput = engine->LastInputTick();
    input.lastInputFails = true;
    Work(60);
    EXPECT_EQ(engine->Status(), status);
    EXPECT_EQ(engine->LastInputTick(), lastInput);
}

TEST_F(BreakEngine, PointerOverTheIconTicksAtMostOncePerSecond) {
    Start();
    const int updates = host.controlUpdates;
    engine->OnPointerOverIcon();
    engine->OnPointerOverIcon();
    engine->OnPointerOverIcon();
    EXPECT_EQ(host.controlUpdates, updates + 1);
    calendar.Advance(1);
    engine->OnPointerOverIcon();
    EXPECT_EQ(host.controlUpdates, updates + 2);
}

TEST_F(BreakEngine, ClockChangeWakesTheWorker) {
    Start();
    const int wakes = host.wakes;
    engine->OnTimeChange();
    EXPECT_EQ(host.wakes, wakes + 1);
}

// Stories of an unlucky world: a kill, garbage or long-ago stored times, clock jumps, a lock.

TEST_F(BreakEngine, AKilledSessionIsResumedFromWhatItSavedWhileRunning) {
    Start();
    WorkMinutes(50);
    // Saved while running, at most a minute old, the work start no later than the activity.
    std::int64_t activeLast = 0, workStart = 0;
    ASSERT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeActiveLast, activeLast));
    ASSERT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, workStart));
    EXPECT_GE(activeLast, calendar.Now() - 60);
    EXPECT_NEAR(static_cast<double>(activeLast - workStart), 50 * 60.0, 61.0);
    engine.reset();  // killed: nothing more is saved
    Sleep(30);
    Start();
    EXPECT_EQ(host.trayIcon, IDI_WORKING);
    EXPECT_EQ(engine->Status(), L"You have been working for 50 minutes.");
    EXPECT_EQ(Score(), 50.0f) << "no rest booked";

    // A work period that begins after a rest is written at once, even when the rest was
    // written less than a minute before: a kill in its first minute does not lose it.
    for (int second = 0; second < 600 && workStart != 0; ++second) {
        Idle(1);
        ASSERT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, workStart));
    }
    ASSERT_EQ(workStart, 0) << "the rest written";
    Idle(10);
    Work(20);
    engine.reset();
    ASSERT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeWorkStart, workStart));
    EXPECT_GE(workStart, calendar.Now() - 20) << "the new work period's start";
}

TEST_F(BreakEngine, WhileIdleNothingIsWrittenAgain) {
    Start();
    WorkMinutes(3);
    IdleMinutes(2);
    ResetTestRegistry();  // forget what the work wrote
    IdleMinutes(2);       // resting: the times do not move
    std::int64_t ignored = 0;
    EXPECT_FALSE(ReadSettingInt64(kTestIdentity, Setting::TimeActiveLast, ignored));
    WorkMinutes(2);
    EXPECT_TRUE(ReadSettingInt64(kTestIdentity, Setting::TimeActiveLast, ignored));
}

TEST_F(BreakEngine, AnAbsenceOfWeeksIsARest) {
    for (int days : {10, 28, 40, 49, 60, 400}) {
        SCOPED_TRACE(testing::Message() << days << " days away");
        ResetTestRegistry();
        const std::int64_t now = calendar.Now();
        WriteSettingInt64(kTestIdentity, Setting::TimeActiveLast, now - std::int64_t{days} * 86400);
        WriteSettingInt64(kTestIdentity, Setting::TimeWorkStart, now - std::int64_t{days} * 86400 - 40 * 60);
        Start();
        EXPECT_EQ(host.trayIcon, IDI_RESTED);
        EXPECT_EQ(engine->Status(), L"You are rested.");
        EXPECT_EQ(Score(), 55.0f) << "the most a rest can earn";
        engine.reset();
    }
}

TEST_F(BreakEngine, ASuspensionLastsItsOwnLengthWhateverTheClockDoes) {
    Start();
    WorkMinutes(56);
    ASSERT_EQ(BreakReminders(), 1);
    engine->OnSuspend(SuspendCommand::For15Minutes);
    calendar.Advance(-3600);  // the clock is set back an hour
    engine->OnTimeChange();
    WorkMinutes(14);
    EXPECT_EQ(host.trayIcon, IDI_DUE_SUSPENDED);
    WorkMinutes(1);
    EXPECT_EQ(host.trayIcon, IDI_BREAK_DUE) << "fifteen minutes on the input clock";
    EXPECT_EQ(BreakReminders(), 2);
}

TEST_F(BreakEngine, APlannedBreakTheClockJumpsOverIsAnnouncedAtOnceAndOnlyOnce) {
    AddPlanned(L"0YYYYYYY,1000,Lunch", 0);
    Start();
    WorkMinutes(30);                               // 09:30
    calendar.SetLocalNow(2026, 12, 7, 10, 30, 0);  // set forward past the break
    engine->OnTimeChange();
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].extra, L"Lunch is due now.");
    EXPECT_EQ(engine->PlannedLine(), L"Tomorrow at 10:00, Lunch, is your next planned break.");
    EXPECT_EQ(host.events.at(5).first, calendar.LocalToTime(2026, 12, 8, 10, 0));

    // Back before it: the break already announced today is not announced again.
    calendar.SetLocalNow(2026, 12, 7, 9, 58, 0);
    engine->OnTimeChange();
    EXPECT_EQ(host.events.at(5).first, calendar.LocalToTime(2026, 12, 7, 10, 0));
    WorkMinutes(2);
    engine->OnPlannedBreakDue();  // the worker at 10:00
    EXPECT_EQ(host.shown.size(), 1u);
    // Tomorrow's is announced as ever.
    calendar.SetLocalNow(2026, 12, 8, 10, 0, 0);
    engine->OnTimeChange();
    engine->OnPlannedBreakDue();
    EXPECT_EQ(host.shown.size(), 2u);
}

TEST_F(BreakEngine, ALockAsLongAsTheRestPeriodIsARestWhateverKeepsInputComing) {
    Start();
    WorkMinutes(30);
    engine->OnSessionLocked();
    WorkMinutes(4);  // a video call's keep-awake: input goes on
    EXPECT_EQ(host.trayIcon, IDI_RESTING);
    WorkMinutes(1);
    EXPECT_EQ(host.trayIcon, IDI_RESTED);
    EXPECT_GT(Score(), 50.0f);
    engine->OnSessionUnlocked();
    WorkMinutes(2);
    EXPECT_EQ(engine->Status(), L"You have been working for 2 minutes.");
}

}  // namespace
