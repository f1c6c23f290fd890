// The scheduled events worker with real threads (natively, under ThreadSanitizer and under
// Wine): the table's rules run directly, the thread is observed through its waits and the
// messages it posts. Time is a fake calendar; the tests wait for events, not for the clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "RegistryTestEnv.h"
#include "core/PrivateMessages.h"
#include "core/CalendarTime.h"
#include "fakes/FakeCalendar.h"
#include "fakes/RecordingPoster.h"
#include "settings/SettingsCatalog.h"
#include "updates/ThreadScheduledEvents.h"

using namespace rw;

using namespace std::chrono_literals;
using rw::CThreadScheduledEventsManager;
using rw::test::FakeCalendar;
using rw::test::PostedMessage;
using rw::test::RecordingPoster;

namespace {

constexpr std::int64_t kWorkerNow = 1700000000;
constexpr auto kPatience = 10s;  // how long a test waits for something that must happen

class Gate {
public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }
    bool WaitOpen(std::chrono::milliseconds timeout = kPatience) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return open_; });
    }
    bool IsOpen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return open_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

// Something thread-safe the tests append to and wait on.
template <typename T>
class Log {
public:
    void Add(T value) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(value);
        cv_.notify_all();
    }
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout = kPatience) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
    }
    // Item number n (from 1) once it has come; empty when it does not come in time.
    std::optional<T> Nth(size_t n) {
        if (!WaitForCount(n)) return std::nullopt;
        std::lock_guard<std::mutex> lock(mutex_);
        return items_[n - 1];
    }
    std::vector<T> Items() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<T> items_;
};

// A manager whose events do what the test says, recording every event and every wait.
class ProbeManager : public CThreadScheduledEventsManager {
public:
    explicit ProbeManager(rw::Calendar& calendar, std::chrono::milliseconds bound = kStopWaitBound)
        : CThreadScheduledEventsManager(calendar, bound) {}
    ~ProbeManager() override { StopThread(false); }

    std::function<void(std::int32_t)> handler;  // set before the thread starts
    Log<std::int32_t> fired;
    Log<std::int64_t> waits;

protected:
    void OnEvent(std::int32_t id) override {
        fired.Add(id);
        // A copy: a handler left behind by Stop must not run out of a freed manager.
        const std::function<void(std::int32_t)> run = handler;
        if (run) run(id);
    }
    void OnWaiting(std::int64_t timeoutMs) override { waits.Add(timeoutMs); }
};

// The system's events, with the upgrade check counted instead of run.
class TestEvents : public CThreadScheduledEvents {
public:
    explicit TestEvents(rw::Calendar& calendar, std::shared_ptr<Log<bool>> checks = std::make_shared<Log<bool>>())
        : CThreadScheduledEvents(calendar,
                                 [checks](bool retry, WorkerChannel&, const SettingsIdentity&) { checks->Add(retry); }),
          checks_(checks) {}
    ~TestEvents() override { StopThread(false); }

    Log<std::int64_t> waits;
    std::shared_ptr<Log<bool>> checks_;
    Log<bool>& upgradeChecks = *checks_;  // the retry flag of each call

protected:
    void OnWaiting(std::int64_t timeoutMs) override { waits.Add(timeoutMs); }
};

// A token whose release opens a gate: tells a test that the thread let go of its state.
std::shared_ptr<void> GateToken(const std::shared_ptr<Gate>& gate) {
    return std::shared_ptr<void>(new int(0), [gate](void* p) {
        delete static_cast<int*>(p);
        gate->Open();
    });
}

// ---- the table, driven directly -------------------------------------------------------

TEST(ScheduledEventsTable, ScheduleIsAnUpsert) {
    FakeCalendar calendar(kWorkerNow);
    ProbeManager events(calendar);
    EXPECT_EQ(events.EarliestDue(), -1);
    events.Schedule(7, kWorkerNow + 100, 0);
    events.Schedule(7, kWorkerNow + 500, 30);
    EXPECT_EQ(events.EarliestDue(), kWorkerNow + 500);  // only the new due time
    auto seven = events.Find(7);
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->interval, 30);
    EXPECT_TRUE(events.Remove(7));
    EXPECT_FALSE(events.Remove(7));  // at most one record per id

    events.Schedule(8, 0, 600);  // start 0: one interval from now
    EXPECT_EQ(events.Find(8)->due, kWorkerNow + 600);
    events.Schedule(9, -1, 0);                          // never
    EXPECT_EQ(events.EarliestDue(), kWorkerNow + 600);  // a never-due event hides nothing
    events.Remove(8);
    EXPECT_EQ(events.EarliestDue(), -1);
}

TEST(ScheduledEventsTable, RunDueInIdOrderDropsFinishedOneShots) {
    FakeCalendar calendar(kWorkerNow);
    ProbeManager events(calendar);
    events.Schedule(5, kWorkerNow, 0);
    events.Schedule(4, kWorkerNow - 10, 0);
    events.Schedule(9, kWorkerNow + 1, 0);     // not yet due
    events.Schedule(2, kWorkerNow - 50, 100);  // repeating, overdue
    events.Schedule(3, -1, 0);                 // never
    events.Schedule(6, kWorkerNow, -20);       // a negative period runs once
    calendar.SetNow(kWorkerNow + 0);
    events.handler = [&](std::int32_t) { calendar.Advance(1); };  // each handler takes a second
    events.RunDue();
    EXPECT_EQ(events.fired.Items(), (std::vector<std::int32_t>{2, 4, 5, 6}));
    EXPECT_FALSE(events.Find(4));
    EXPECT_FALSE(events.Find(5));
    EXPECT_FALSE(events.Find(6));
    EXPECT_FALSE(events.Remove(5));
    const auto two = events.Find(2);
    ASSERT_TRUE(two);
    EXPECT_TRUE(two->fired);
    EXPECT_FALSE(two->done);
    EXPECT_EQ(two->due, kWorkerNow + 100);  // from the moment it ran, not from its old due time
    EXPECT_TRUE(events.Find(9));
    EXPECT_TRUE(events.Find(3));

    // The second pass sees the clock as it was when the pass began: only 9 is due now.
    events.RunDue();
    EXPECT_EQ(events.fired.Items(), (std::vector<std::int32_t>{2, 4, 5, 6, 9}));
}

TEST(ScheduledEventsTable, AOneShotScheduledAgainByItsHandlerStays) {
    FakeCalendar calendar(kWorkerNow);
    ProbeManager events(calendar);
    events.Schedule(5, kWorkerNow, 0);
    events.handler = [&](std::int32_t id) { events.Schedule(id, kWorkerNow + 300, 0); };
    events.RunDue();
    const auto five = events.Find(5);
    ASSERT_TRUE(five);
    EXPECT_EQ(five->due, kWorkerNow + 300);
    EXPECT_FALSE(five->done);
}

TEST(ScheduledEventsTable, WaitTimeouts) {
    struct Case {
        std::int64_t now, next, timeoutMs;
    };
    const Case cases[] = {
        {kWorkerNow, -1, -1},                // nothing due: no timeout
        {kWorkerNow, kWorkerNow, 0},         // due
        {kWorkerNow, kWorkerNow - 3600, 0},  // past due
        {kWorkerNow, kWorkerNow + 1, 1000},
        {kWorkerNow, kWorkerNow + 4294967, 4294967000},  // still within 32 bits
        {kWorkerNow, kWorkerNow + 4294968, CThreadScheduledEventsManager::kMaxWaitMs},
        {kWorkerNow, kWorkerNow + 60LL * 86400, CThreadScheduledEventsManager::kMaxWaitMs},
        {-9000000000000000000LL, 9000000000000000000LL, CThreadScheduledEventsManager::kMaxWaitMs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CThreadScheduledEventsManager::WaitTimeoutMs(c.now, c.next), c.timeoutMs) << c.next - c.now;
    }
}

// ---- the worker thread ---------------------------------------------------------------

class ScheduledEventsWorker : public ::testing::Test {
protected:
    void SetUp() override { rw::test::ResetTestRegistry(); }
    void TearDown() override { rw::test::ResetTestRegistry(); }

    FakeCalendar calendar{kWorkerNow};
    std::shared_ptr<RecordingPoster> poster = std::make_shared<RecordingPoster>();
};

TEST_F(ScheduledEventsWorker, AnEmptyTableWaitsWithoutTimeoutUntilWoken) {
    ProbeManager events(calendar);
    ASSERT_TRUE(events.StartThread());
    EXPECT_EQ(events.waits.Nth(1), -1);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(events.waits.Count(), 1u);  // it does not wake by itself
    events.Wake();
    EXPECT_EQ(events.waits.Nth(2), -1);
    EXPECT_EQ(events.fired.Count(), 0u);
}

// Every change of the table wakes the sleeping thread: a new earliest event is never left
// waiting for the old wait to end.
TEST_F(ScheduledEventsWorker, EveryChangeWakesItAndTheWaitFollowsCapped) {
    ProbeManager events(calendar);
    events.Schedule(7, kWorkerNow + 1000, 0);
    ASSERT_TRUE(events.StartThread());
    EXPECT_EQ(events.waits.Nth(1), 1000000);
    events.Schedule(7, kWorkerNow + 10, 0);
    EXPECT_EQ(events.waits.Nth(2), 10000);
    events.Schedule(7, kWorkerNow + 90LL * 86400, 0);  // beyond the 32-bit millisecond range
    EXPECT_EQ(events.waits.Nth(3), CThreadScheduledEventsManager::kMaxWaitMs);
    EXPECT_TRUE(events.Remove(7));
    EXPECT_EQ(events.waits.Nth(4), -1);
    EXPECT_FALSE(events.Remove(7));          // no change, no wake
    events.Schedule(4, kWorkerNow + 60, 0);  // the icon's retry, into a table without a due time
    EXPECT_EQ(events.waits.Nth(5), 60000);
    EXPECT_EQ(events.waits.Count(), 5u);
    EXPECT_EQ(events.fired.Count(), 0u);
}

TEST_F(ScheduledEventsWorker, APastDueOneShotFiresOnceAndIsGone) {
    TestEvents events(calendar);
    events.Schedule(EVENT_PLANNED_BREAK, kWorkerNow - 30, 0);
    ASSERT_TRUE(events.Start(poster, rw::test::kTestIdentity));
    ASSERT_TRUE(poster->WaitForCount(1));
    // The pass is over once the worker waits again, for the daily check a minute ahead.
    ASSERT_TRUE(events.waits.WaitForCount(2));
    EXPECT_EQ(events.waits.Items()[0], 0);
    EXPECT_EQ(events.waits.Items()[1], 60000);
    EXPECT_EQ(poster->Messages(), (std::vector<PostedMessage>{{WMU_PLANNED_BREAK_DUE, 0, 0}}));
    EXPECT_FALSE(events.Find(EVENT_PLANNED_BREAK));
    EXPECT_FALSE(events.Remove(EVENT_PLANNED_BREAK));
}

TEST_F(ScheduledEventsWorker, Events4And5DueTogetherPostTrayIconThenPlannedBreak) {
    TestEvents events(calendar);
    ASSERT_TRUE(events.Start(poster, rw::test::kTestIdentity));
    ASSERT_TRUE(events.waits.WaitForCount(1));
    events.Schedule(EVENT_PLANNED_BREAK, kWorkerNow + 60, 0);
    events.Schedule(EVENT_TRAY_ICON_RETRY, kWorkerNow + 60, 0);
    ASSERT_TRUE(events.waits.WaitForCount(2));
    poster->SetAccepting(false);  // a window that is gone: the events still finish
    calendar.Advance(60);
    events.Wake();
    ASSERT_TRUE(poster->WaitForCount(2));
    EXPECT_EQ(poster->Messages(), (std::vector<PostedMessage>{{WMU_TRAY_ICON, 2, 0}, {WMU_PLANNED_BREAK_DUE, 0, 0}}));
    // The daily check was due at the same moment: it ran first, on the worker.
    EXPECT_EQ(events.upgradeChecks.Items(), (std::vector<bool>{false}));
    // The pass is over once its sweep has dropped both one-shot events.
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while ((events.Find(EVENT_TRAY_ICON_RETRY) || events.Find(EVENT_PLANNED_BREAK)) &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(events.Find(EVENT_TRAY_ICON_RETRY));
    EXPECT_FALSE(events.Find(EVENT_PLANNED_BREAK));
    EXPECT_EQ(events.Find(EVENT_UPGRADE_CHECK)->due, kWorkerNow + 60 + kUpgradeCheckInterval);
}

TEST_F(ScheduledEventsWorker, UpgradeEventsRunTheCheckAndOtherIdsNothing) {
    TestEvents events(calendar);
    for (std::int32_t id : {EVENT_UPGRADE_RETRY, 2, 6, 0, -1}) events.Schedule(id, kWorkerNow, 0);
    ASSERT_TRUE(events.Start(poster, rw::test::kTestIdentity));
    ASSERT_TRUE(events.upgradeChecks.WaitForCount(1));
    ASSERT_TRUE(events.waits.WaitForCount(2));
    EXPECT_EQ(events.upgradeChecks.Items(), (std::vector<bool>{true}));
    EXPECT_EQ(poster->Count(), 0u);
    for (std::int32_t id : {EVENT_UPGRADE_RETRY, 2, 6, 0, -1}) EXPECT_FALSE(events.Find(id)) << id;
}

TEST_F(ScheduledEventsWorker, AClockChangeWakesItAndTheEventRunsAtOnce) {
    TestEvents events(calendar);
    events.Schedule(EVENT_PLANNED_BREAK, kWorkerNow + 3600, 0);
    ASSERT_TRUE(events.Start(poster, rw::test::kTestIdentity));
    EXPECT_EQ(events.waits.Nth(1), 60000);  // the daily check comes first
    calendar.Advance(2 * 3600);             // the clock is set forward past both
    events.Wake();                          // what the main window does on WM_TIMECHANGE
    ASSERT_TRUE(poster->WaitForCount(1));
    EXPECT_EQ(poster->Messages()[0], (PostedMessage{WMU_PLANNED_BREAK_DUE, 0, 0}));
    EXPECT_TRUE(events.upgradeChecks.WaitForCount(1));
}

TEST_F(ScheduledEventsWorker, NothingStartsAfterStop) {
    ProbeManager events(calendar);
    events.Schedule(1, kWorkerNow + 10, 0);
    events.Schedule(2, kWorkerNow + 20, 5);
    ASSERT_TRUE(events.StartThread());
    ASSERT_TRUE(events.waits.WaitForCount(1));
    events.Stop(false);
    EXPECT_FALSE(events.IsRunning());
    EXPECT_TRUE(events.StopRequested());
    calendar.Advance(100);
    events.Wake();
    events.RunDue();  // even a pass run by hand starts nothing
    EXPECT_FALSE(events.StartThread());
    EXPECT_EQ(events.fired.Count(), 0u);
    EXPECT_EQ(events.waits.Count(), 1u);
    EXPECT_TRUE(events.Find(1));
}

TEST_F(ScheduledEventsWorker, TheTableIsNotLockedWhileAHandlerRuns) {
    ProbeManager events(calendar);
    Gate entered, release;
    std::atomic<bool> changedWhileRunning{false};
    events.handler = [&](std::int32_t id) {
        if (id != 1) return;
        entered.Open();
        release.WaitOpen();
    };
    events.Schedule(1, kWorkerNow, 0);
    ASSERT_TRUE(events.StartThread());
    ASSERT_TRUE(entered.WaitOpen());
    // With the lock held across the handler these would block until it gave up.
    events.Schedule(8, kWorkerNow + 500, 0);
    EXPECT_TRUE(events.Remove(8));
    EXPECT_EQ(events.EarliestDue(), -1);  // 1 has run and waits for the sweep
    changedWhileRunning = !release.IsOpen();
    release.Open();
    ASSERT_TRUE(events.waits.WaitForCount(2));
    EXPECT_TRUE(changedWhileRunning);
    EXPECT_FALSE(events.Find(1));
}

TEST_F(ScheduledEventsWorker, AFailingHandlerEndsOnlyItsPass) {
    ProbeManager events(calendar);
    events.handler = [](std::int32_t id) {
        if (id == 1) throw std::runtime_error("handler failed");
    };
    events.Schedule(1, kWorkerNow, 0);
    events.Schedule(2, kWorkerNow, 0);
    ASSERT_TRUE(events.StartThread());
    ASSERT_TRUE(events.fired.WaitForCount(2));  // 2 runs on the next pass
    EXPECT_EQ(events.fired.Items(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(events.waits.Nth(3), -1);
    EXPECT_FALSE(events.Find(1));
    EXPECT_FALSE(events.Find(2));
}

TEST_F(ScheduledEventsWorker, StopWaitsForARunningHandlerAndStartsNoOther) {
    ProbeManager events(calendar);
    Gate entered;
    std::atomic<bool> handlerDone{false};
    events.handler = [&](std::int32_t id) {
        if (id != 1) return;
        entered.Open();
        // Finish only once Stop is waiting for us.
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        while (!events.StopRequested() && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
        std::this_thread::sleep_for(20ms);
        handlerDone = true;
    };
    events.Schedule(1, kWorkerNow, 0);
    events.Schedule(2, kWorkerNow, 0);
    ASSERT_TRUE(events.StartThread());
    ASSERT_TRUE(entered.WaitOpen());
    const auto started = std::chrono::steady_clock::now();
    events.Stop(false);
    EXPECT_TRUE(handlerDone);  // Stop returned only after the handler
    EXPECT_LT(std::chrono::steady_clock::now() - started, CThreadScheduledEventsManager::kStopWaitBound);
    EXPECT_FALSE(events.IsRunning());
    EXPECT_EQ(events.fired.Items(), (std::vector<std::int32_t>{1}));
}

TEST_F(ScheduledEventsWorker, StopLeavesBehindAHandlerThatOverrunsTheBound) {
    struct HandlerState {
        Gate entered, release;
        std::atomic<bool> returned{false}, sawStop{false};
    };
    auto state = std::make_shared<HandlerState>();
    auto threadGone = std::make_shared<Gate>();
    auto* events = new ProbeManager(calendar, 50ms);
    // The handler uses only what it took at its start, never the manager.
    events->handler = [state, stop = events->StopToken()](std::int32_t) {
        state->entered.Open();
        state->release.WaitOpen();
        state->sawStop = stop->load();
        state->returned = true;
    };
    events->KeepWhileThreadRuns(GateToken(threadGone));
    events->Schedule(1, kWorkerNow, 0);
    events->Schedule(2, kWorkerNow, 0);
    ASSERT_TRUE(events->StartThread());
    ASSERT_TRUE(state->entered.WaitOpen());

    const auto started = std::chrono::steady_clock::now();
    events->Stop(false);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, 50ms);
    EXPECT_LT(waited, 5s);
    EXPECT_FALSE(state->returned);
    EXPECT_EQ(events->fired.Items(), (std::vector<std::int32_t>{1}));
    delete events;  // the owner goes while the handler still runs
    EXPECT_FALSE(threadGone->IsOpen());

    state->release.Open();
    // The thread ends without touching the freed manager (the sanitizers would say).
    ASSERT_TRUE(threadGone->WaitOpen());
    EXPECT_TRUE(state->returned);
    EXPECT_TRUE(state->sawStop);
}

TEST_F(ScheduledEventsWorker, ACheckLeftBehindByStopNoLongerSchedulesPostsOrWrites) {
    struct Probe {
        Gate entered, release;
        std::atomic<int> before{-1}, after{-1};  // how many of its effects went through
    };
    auto probe = std::make_shared<Probe>();
    auto threadGone = std::make_shared<Gate>();
    const auto check = [probe](bool, WorkerChannel& channel, const SettingsIdentity& identity) {
        const auto effects = [&](std::int64_t stamp) {
            return int{channel.Write([&] { WriteSettingInt64(identity, Setting::UpgradeCheck, stamp); })} +
                   int{channel.Post(WMU_CHECK_SKIPPED, 0, 0)} +
                   int{channel.Schedule(EVENT_UPGRADE_RETRY, kWorkerNow + 300, 0)};
        };
        probe->before = effects(kWorkerNow);
        probe->entered.Open();
        probe->release.WaitOpen();  // a slow download
        probe->after = effects(kWorkerNow + 1);
    };
    auto* events = new CThreadScheduledEvents(calendar, check, 50ms);
    events->KeepWhileThreadRuns(GateToken(threadGone));
    events->Schedule(EVENT_UPGRADE_RETRY, kWorkerNow, 0);
    ASSERT_TRUE(events->Start(poster, rw::test::kTestIdentity));
    ASSERT_TRUE(probe->entered.WaitOpen());
    events->Stop(false);
    delete events;  // the main window goes while the check still runs
    probe->release.Open();
    ASSERT_TRUE(threadGone->WaitOpen());  // ended without touching the freed object
    EXPECT_EQ(probe->before, 3);
    EXPECT_EQ(probe->after, 0);
    EXPECT_EQ(poster->Messages(), (std::vector<PostedMessage>{{WMU_CHECK_SKIPPED, 0, 0}}));
    std::int64_t stored = 0;
    EXPECT_TRUE(ReadSettingInt64(rw::test::kTestIdentity, Setting::UpgradeCheck, stored));
    EXPECT_EQ(stored, kWorkerNow);
}

TEST_F(ScheduledEventsWorker, AHandlerMayStopItsOwnWorker) {
    ProbeManager events(calendar);
    events.handler = [&](std::int32_t id) {
        if (id == 1) events.Stop(false);  // must not wait for itself
    };
    events.Schedule(1, kWorkerNow, 0);
    events.Schedule(2, kWorkerNow, 0);
    ASSERT_TRUE(events.StartThread());
    ASSERT_TRUE(events.fired.WaitForCount(1));
    events.Stop(false);  // the owner's stop joins the thread that ended by itself
    EXPECT_FALSE(events.IsRunning());
    EXPECT_EQ(events.fired.Items(), (std::vector<std::int32_t>{1}));
    EXPECT_TRUE(events.Find(2));
    EXPECT_EQ(events.waits.Count(), 1u);
}

TEST_F(ScheduledEventsWorker, AutoDeleteFreesTheManagerWhenTheThreadEnds) {
    struct Deleted : ProbeManager {
        Deleted(rw::Calendar& calendar, std::shared_ptr<Gate> gate) : ProbeManager(calendar), gate_(gate) {}
        ~Deleted() override { gate_->Open(); }
        std::shared_ptr<Gate> gate_;
    };
    auto destroyed = std::make_shared<Gate>();
    auto* events = new Deleted(calendar, destroyed);
    ASSERT_TRUE(events->StartThread());
    ASSERT_TRUE(events->waits.WaitForCount(1));
    events->Stop(true);  // from here on the thread owns it
    ASSERT_TRUE(destroyed->WaitOpen());
}

// ---- the first due time of the daily check -------------------------------------------------

TEST(ScheduledEventsUpgradeCheck, FirstDueRule) {
    struct Case {
        std::int64_t last, due;
    };
    const Case cases[] = {
        {0, kWorkerNow + 60},                                   // never checked
        {kWorkerNow - 10 * 3600, kWorkerNow + 14 * 3600 + 60},  // 10 hours ago
        {kWorkerNow - 3 * 86400, kWorkerNow + 60},              // long ago
        {kWorkerNow + 3 * 86400, kWorkerNow + 60},              // in the future: ignored
        {kWorkerNow + 86400, kWorkerNow + 2 * 86400 + 60},      // a day ahead still counts
        {kWorkerNow + 86401, kWorkerNow + 60},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstUpgradeCheckDue(kWorkerNow, c.last), c.due) << c.last - kWorkerNow;
}

TEST_F(ScheduledEventsWorker, StartSchedulesTheDailyCheckFromTheStoredTime) {
    struct Case {
        std::vector<std::uint8_t> stored;  // empty: no value
        std::int64_t due;
    };
    const auto bytes = [](std::int64_t t) {
        const rw::Bytes8 b = rw::EncodeTime(t);
        return std::vector<std::uint8_t>(b.begin(), b.end());
    };
    const Case cases[] = {
        {{}, kWorkerNow + 60},
        {bytes(kWorkerNow - 10 * 3600), kWorkerNow + 14 * 3600 + 60},
        {bytes(kWorkerNow + 3 * 86400), kWorkerNow + 60},
        {{1, 2, 3, 4}, kWorkerNow + 60},  // not 8 bytes: unreadable
    };
    for (const Case& c : cases) {
        rw::test::ResetTestRegistry();
        if (!c.stored.empty()) {
            rw::test::PutRawValue(rw::kHkeyLocalMachine, rw::test::TestPath(false, L"Service"), L"UpgradeCheck",
                                  rw::kRegBinary, c.stored);
        }
        TestEvents events(calendar);
        ASSERT_TRUE(events.Start(poster, rw::test::kTestIdentity));
        const auto check = events.Find(EVENT_UPGRADE_CHECK);
        ASSERT_TRUE(check);
        EXPECT_EQ(check->due, c.due);
        EXPECT_EQ(check->interval, kUpgradeCheckInterval);
        EXPECT_EQ(events.waits.Nth(1), (c.due - kWorkerNow) * 1000);
    }
}

}  // namespace
