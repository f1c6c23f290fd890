// A soak of the break engine: thirty simulated days of a person's input (work days with
// pauses, rests, lunches and evenings, quiet weekends, machine sleeps, restarts and reboots,
// input-clock wraps, clock and time-zone changes, suspensions and "I am rested"), the engine
// driven as the main window drives it, and its invariants checked after every tick:
//   - the rating stays within 0..100;
//   - no break reminder while suspended, except the one a planned break asks for;
//   - a rest (idle at least the rest period) ends the work period;
//   - what a restart saves and restores equals the state before it.
//     engine_soak [days] [seed]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/ScheduledEventIds.h"
#include "engine/BreakEngine.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeInputClock.h"
#include "fakes/FakeLocale.h"
#include "res/resource.h"
#include "shared/RegistryTestEnv.h"

using namespace rw;

namespace {

struct Counts {
    long ticks = 0, checks = 0, reminders = 0, plannedAnnouncements = 0, rests = 0;
    long restarts = 0, reboots = 0, sleeps = 0, wraps = 0, clockChanges = 0, suspensions = 0;
    std::vector<std::string> violations;
};

class Soak;

// The main window as the engine sees it; every tick ends in the soak's checks.
class SoakHost final : public BreakEngineHost, public BreakEngineView, public EventScheduler {
public:
    explicit SoakHost(Soak& soak) : soak_(soak) {}
    void SetStatusIcon(int) override {}
    void SetIconAndTip(int, const std::wstring&) override {}
    void ShowNotification(const std::wstring&, const std::wstring&, int iconId, std::uint32_t) override;
    void HideNotification() override {}
    void SetAlertBreakDue(bool breakDue) override { alertBreakDue = breakDue; }
    void SetAlertPlannedMinutes(int) override {}
    void EnableSuspendUntilPlanned(bool) override {}
    void UpdateControlsFromData() override {}
    void RepaintRatingBar() override {}
    bool IsMainWindowVisible() override { return false; }
    const std::wstring& DisplayName() override { return name_; }
    void ArmTickTimer(std::uint32_t periodMs) override;
    void KillTickTimer() override { timerArmed = false; }
    void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) override {
        if (id == EVENT_PLANNED_BREAK) {
            plannedDue = start;
            plannedInterval = interval;
        }
    }
    bool Remove(std::int32_t id) override {
        if (id != EVENT_PLANNED_BREAK || plannedDue < 0) return false;
        plannedDue = -1;
        return true;
    }
    void Wake() override {}
    void TickDone() override;

    bool alertBreakDue = false;
    bool timerArmed = false;
    std::uint32_t timerDueTick = 0;
    std::uint32_t timerPeriodMs = 0;
    std::int64_t plannedDue = -1, plannedInterval = 0;

private:
    Soak& soak_;
    std::wstring name_ = L"Restwell";
};

class Soak {
public:
    explicit Soak(std::uint64_t seed) : random_(seed) {
        test::ResetTestRegistry();
        calendar_.SetLocalNow(2026, 11, 2, 8, 0, 0);  // a Monday
        // The first day crosses the input clock's wrap.
        input_.tick = input_.lastInput = 0xFFFFFFFFu - 3u * 3600u * 1000u;
        test::PutString(kHkeyCurrentUser, false, L"Breaks", L"Timed-0", L"0NYYYYYN,1230,Lunch");
        test::PutString(kHkeyCurrentUser, false, L"Breaks", L"Timed-1", L"0YYYYYYY,1500,Tea");
        test::PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", 2);
    }

    Counts Run(int days) {
        Start();
        for (int day = 0; day < days; ++day) Day();
        Stop();
        return counts_;
    }

    // Called by the host.
    void OnTickDone() {
        ++counts_.ticks;
        const std::uint32_t tick = input_.tick;
        Check(engine_->Rating().m_fScore >= 0.0f && engine_->Rating().m_fScore <= 100.0f, "rating outside 0..100");
        // A tick that saw at least a rest period of idle time leaves no work period running.
        if (!input_.lastInputFails && tick - input_.lastInput >= engine_->Choice().restMinutes * 60000u) {
            Check(engine_->WorkStartTick() == 0, "a rest did not end the work period");
        }
        if (engine_->WorkStartTick() != 0) {
            Check(InputTicksBetween(engine_->WorkStartTick(), tick) >= 0, "a work period that starts in the future");
        }
    }
    void OnReminder(int iconId) {
        if (iconId != IDI_BREAK_DUE || !host_.alertBreakDue) return;
        ++counts_.reminders;
        if (plannedTick_) {
            ++counts_.plannedAnnouncements;
        } else {
            Check(!suspendedAtTickStart_, "a break reminder while suspended");
        }
    }
    std::uint32_t Tick() const { return input_.tick; }

private:
    void Check(bool ok, const char* what) {
        ++counts_.checks;
        if (!ok && counts_.violations.size() < 20) {
            const auto local = calendar_.ToLocal(calendar_.Now());
            char at[64];
            std::snprintf(at, sizeof at, "%04d-%02d-%02d %02d:%02d:%02d tick %u: ", local->year, local->month,
                          local->day, local->hour, local->minute, local->second, input_.tick);
            counts_.violations.push_back(at + std::string(what));
        }
    }

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    LocalTime Local() { return *calendar_.ToLocal(calendar_.Now()); }
    int LocalMinutes() {
        const LocalTime t = Local();
        return t.hour * 60 + t.minute;
    }

    // Engine events, each with the suspension as it was when the tick began.
    template <typename F>
    void Event(F&& f, bool planned = false) {
        suspendedAtTickStart_ = calendar_.Now() < engine_->SuspendedUntil();
        plannedTick_ = planned;
        f();
        plannedTick_ = false;
    }

    void Start() {
        engine_ = std::make_unique<CBreakEngine>(
            BreakEngineSeams{host_, host_, host_, input_, calendar_, texts_, test::kTestIdentity});
        Event([&] {
            engine_->ApplyEnable();
            engine_->OnInitialised();
        });
    }
    void Stop() {
        engine_->SaveBreakState();
        engine_.reset();
        host_.timerArmed = false;
        host_.plannedDue = -1;
    }
    // Program restart at once: what was saved comes back.
    void Restart() {
        ++counts_.restarts;
        const std::uint32_t tick = input_.tick;
        const std::uint32_t stored = engine_->Rating().StoredValue();
        const bool working = engine_->WorkStartTick() != 0 && engine_->LastInputTick() != 0;
        const std::int64_t worked = working ? InputTicksBetween(engine_->WorkStartTick(), tick) / 1000 : 0;
        Stop();
        engine_ = std::make_unique<CBreakEngine>(
            BreakEngineSeams{host_, host_, host_, input_, calendar_, texts_, test::kTestIdentity});
        Check(engine_->Rating().StoredValue() == stored, "the restored rating differs from the saved one");
        Check((engine_->WorkStartTick() != 0) == working, "the restored work period differs from the saved one");
        if (working) {
            const std::int64_t restored = InputTicksBetween(engine_->WorkStartTick(), tick) / 1000;
            Check(restored >= worked - 1 && restored <= worked + 1,
                  "the restored work time differs from the saved one");
        }
        Event([&] {
            engine_->ApplyEnable();
            engine_->OnInitialised();
        });
    }

    // One second of awake machine: input, the tick timer when due, the planned-break event.
    void Second(bool typing) {
        const std::uint32_t before = input_.tick;
        input_.tick += 1000;
        if (input_.tick < before) ++counts_.wraps;
        calendar_.Advance(1);
        if (typing) input_.lastInput = input_.tick;
        if (!engine_) return;
        if (host_.timerArmed && input_.tick - host_.timerDueTick < 0x80000000u) {
            // The timer repeats as SetTimer's does: its next time is a whole number of periods on.
            while (input_.tick - host_.timerDueTick < 0x80000000u) host_.timerDueTick += host_.timerPeriodMs;
            Event([&] { engine_->OnTickTimer(); });
        }
        if (host_.plannedDue >= 0 && calendar_.Now() >= host_.plannedDue) {
            host_.plannedDue = host_.plannedInterval > 0 ? host_.plannedDue + host_.plannedInterval : -1;
            Event([&] { engine_->OnPlannedBreakDue(); }, true);
        }
        if (typing && Chance(0.0005)) Event([&] { engine_->OnPointerOverIcon(); });
        Check(host_.timerArmed, "reminders are on but the tick timer is not armed");
    }
    void Work(int seconds) {
        for (int i = 0; i < seconds; ++i) Second(Chance(0.8));  // typing with little gaps
    }
    void Idle(int seconds) {
        for (int i = 0; i < seconds; ++i) Second(false);
    }
    // The machine sleeps: both clocks go on, nothing runs; the wake-up is a power event.
    void MachineSleep(int seconds) {
        ++counts_.sleeps;
        const std::uint32_t before = input_.tick;
        input_.tick += static_cast<std::uint32_t>(seconds) * 1000u;
        if (input_.tick < before) ++counts_.wraps;
        calendar_.Advance(seconds);
        if (engine_) Event([&] { engine_->OnPowerOrClockChange(); });
    }
    // Off: the program ends, the machine restarts later with a new tick count (now and then
    // close to the wrap), and the program starts again.
    void Reboot(int seconds) {
        ++counts_.reboots;
        Stop();
        calendar_.Advance(seconds);
        input_.tick = Chance(0.3) ? 0xFFFFFFFFu - static_cast<std::uint32_t>(Between(0, 7200)) * 1000u
                                  : static_cast<std::uint32_t>(Between(30, 3600)) * 1000u;
        input_.lastInput = input_.tick;
        Start();
    }
    void ClockChange() {
        ++counts_.clockChanges;
        if (Chance(0.5)) {
            calendar_.Advance(Between(-45, 45) * 60);  // the user sets the clock
        } else {
            utcOffset_ = utcOffset_ == 0 ? 3600 : 0;  // summer time begins or ends
            calendar_.SetUtcOffset(utcOffset_);
        }
        Event([&] { engine_->OnTimeChange(); });
    }
    void UserCommand() {
        const int pick = Between(0, 5);
        if (pick == 5) {
            Event([&] { engine_->OnIAmRested(); });
            return;
        }
        ++counts_.suspensions;
        const SuspendCommand commands[] = {SuspendCommand::For15Minutes, SuspendCommand::For30Minutes,
                                           SuspendCommand::UntilNextRest, SuspendCommand::UntilPlannedBreak,
                                           SuspendCommand::For15Minutes};
        Event([&] { engine_->OnSuspend(commands[pick]); });
    }

    // Work until the local time `until` (minutes): stretches of work and pauses of every length.
    void WorkUntil(int until) {
        while (LocalMinutes() < until) {
            Work(Between(5, 70) * 60);
            if (Chance(0.15)) UserCommand();
            if (Chance(0.01)) input_.lastInputFails = !input_.lastInputFails;
            const int pause = Between(0, 99);
            if (pause < 70) {
                Idle(Between(20, 240));
            } else if (pause < 95) {
                ++counts_.rests;
                Idle(Between(5, 20) * 60);
            } else {
                Idle(Between(30, 90) * 60);
            }
            if (Chance(0.02)) Restart();
            if (Chance(0.05)) ClockChange();
        }
    }
    // Idle or asleep until local time `until` on this day (or the next, past midnight).
    void AwayUntil(int until, bool asleep) {
        int minutes = until - LocalMinutes();
        if (minutes <= 0) minutes += 24 * 60;
        if (asleep) {
            MachineSleep(minutes * 60);
        } else {
            Idle(minutes * 60);
        }
    }

    void Day() {
        input_.lastInputFails = false;
        const int weekday = Local().weekday;  // 0 = Sunday
        const bool workday = weekday >= 1 && weekday <= 5;
        if (workday) {
            AwayUntil(8 * 60 + Between(0, 60), Chance(0.5));
            WorkUntil(12 * 60);
            AwayUntil(13 * 60 + Between(-10, 10), Chance(0.3));  // lunch
            WorkUntil(17 * 60 + Between(0, 90));
        } else if (Chance(0.4)) {
            AwayUntil(10 * 60, true);
            WorkUntil(11 * 60 + Between(0, 60));
        }
        // The evening: the machine sleeps through the night or is switched off.
        if (Chance(0.5)) {
            AwayUntil(6 * 60, true);
        } else {
            int minutes = 6 * 60 - LocalMinutes();
            if (minutes <= 0) minutes += 24 * 60;
            Reboot(minutes * 60);
        }
    }

    std::mt19937_64 random_;
    test::FakeCalendar calendar_{0, 0};
    test::FakeInputClock input_;
    test::FakeLocale locale_;
    CPlannedBreakTexts texts_{locale_};
    SoakHost host_{*this};
    std::unique_ptr<CBreakEngine> engine_;
    Counts counts_;
    int utcOffset_ = 0;
    bool suspendedAtTickStart_ = false;
    bool plannedTick_ = false;
};

void SoakHost::ShowNotification(const std::wstring&, const std::wstring&, int iconId, std::uint32_t) {
    soak_.OnReminder(iconId);
}

void SoakHost::ArmTickTimer(std::uint32_t periodMs) {
    timerArmed = true;
    timerPeriodMs = periodMs;
    timerDueTick = soak_.Tick() + periodMs;
}

void SoakHost::TickDone() {
    soak_.OnTickDone();
}

}  // namespace

int main(int argc, char** argv) {
    const int days = argc > 1 ? std::atoi(argv[1]) : 30;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261207;
    const Counts c = Soak(seed).Run(days);
    std::printf(
        "engine soak: %d simulated days (seed %llu): %ld ticks, %ld invariant checks; %ld reminders (%ld for planned "
        "breaks), %ld rests, %ld suspensions, %ld restarts, %ld reboots, %ld sleeps, %ld tick wraps, %ld clock "
        "changes: %s\n",
        days, static_cast<unsigned long long>(seed), c.ticks, c.checks, c.reminders, c.plannedAnnouncements, c.rests,
        c.suspensions, c.restarts, c.reboots, c.sleeps, c.wraps, c.clockChanges,
        c.violations.empty() ? "all invariants held" : "INVARIANTS BROKEN");
    for (const std::string& v : c.violations) std::printf("  %s\n", v.c_str());
    return c.violations.empty() ? 0 : 1;
}
