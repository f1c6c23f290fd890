// A simulation of the main window around the break engine: the input and calendar clocks
// move together second by second, keyboard activity and idle stretches are scripted, the tick
// timer fires when it is due, and every host call is recorded.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../shared/RegistryTestEnv.h"
#include "engine/BreakEngine.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeInputClock.h"
#include "fakes/FakeLocale.h"

namespace rw::test {

struct Notification {
    std::wstring extra, text;
    int icon;
    std::uint32_t timeoutMs;
    std::optional<bool> breakDue;  // the alert's m_bBreakDue when it was shown
    std::int64_t at;               // calendar time
};

class RecordingHost final : public BreakEngineHost, public BreakEngineView, public EventScheduler {
public:
    void SetStatusIcon(int iconId) override { statusIcon = iconId; }
    void SetIconAndTip(int iconId, const std::wstring& tip) override {
        trayIcon = iconId;
        tooltip = tip;
    }
    void ShowNotification(const std::wstring& extra, const std::wstring& text, int iconId,
                          std::uint32_t timeoutMs) override {
        shown.push_back({extra, text, iconId, timeoutMs, alertBreakDue, now ? *now : 0});
    }
    void HideNotification() override { ++hides; }
    void SetAlertBreakDue(bool breakDue) override { alertBreakDue = breakDue; }
    void SetAlertPlannedMinutes(int minutes) override { alertPlannedMinutes = minutes; }
    void EnableSuspendUntilPlanned(bool enable) override { suspendUntilPlannedEnabled = enable; }
    void UpdateControlsFromData() override { ++controlUpdates; }
    void RepaintRatingBar() override { ++barRepaints; }
    bool IsMainWindowVisible() override { return visible; }
    const std::wstring& DisplayName() override { return name; }
    void ArmTickTimer(std::uint32_t periodMs) override {
        ++timerSets;
        timerPeriodMs = periodMs;
        timerDueTick = *tick + periodMs;
    }
    void KillTickTimer() override { timerPeriodMs.reset(); }
    void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) override {
        events[id] = {start, interval};
    }
    bool Remove(std::int32_t id) override { return events.erase(id) != 0; }
    void Wake() override { ++wakes; }

    std::wstring name = L"Restwell";
    const std::int64_t* now = nullptr;
    const std::uint32_t* tick = nullptr;
    int statusIcon = -1, trayIcon = -1;
    std::wstring tooltip;
    std::vector<Notification> shown;
    int hides = 0, alertPlannedMinutes = -2;
    std::optional<bool> alertBreakDue;  // none until set
    bool suspendUntilPlannedEnabled = false;
    int controlUpdates = 0, barRepaints = 0;
    bool visible = true;
    std::optional<std::uint32_t> timerPeriodMs;
    std::uint32_t timerDueTick = 0;
    int timerSets = 0, timerTicks = 0;
    std::set<int> tickSeconds;  // the seconds of the minute at which the timer fired
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> events;
    int wakes = 0;
};

class EngineSim : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestRegistry();
        calendar.SetLocalNow(2026, 12, 7, 9, 0, 0);  // a Monday, on a whole minute
        host.now = &now_;
        host.tick = &input.tick;
        now_ = calendar.Now();
    }
    void TearDown() override { ResetTestRegistry(); }

    // Builds the engine as the main window does and runs its start-up ticks.
    void Start() {
        engine =
            std::make_unique<CBreakEngine>(BreakEngineSeams{host, host, host, input, calendar, texts, kTestIdentity});
        engine->ApplyEnable();
        engine->OnInitialised();
    }
    // Ends the program: the state is saved and the engine is gone.
    void Stop() {
        engine->SaveBreakState();
        engine.reset();
    }

    // One second of simulated time; the timer fires when it is due.
    void Second(bool typing) {
        input.tick += 1000;
        calendar.Advance(1);
        now_ = calendar.Now();
        if (typing) input.lastInput = input.tick;
        if (host.timerPeriodMs && input.tick - host.timerDueTick < 0x80000000u) {
            // The timer repeats as SetTimer's does: its next time is a whole number of periods on.
            while (input.tick - host.timerDueTick < 0x80000000u) host.timerDueTick += *host.timerPeriodMs;
            ++host.timerTicks;
            host.tickSeconds.insert(static_cast<int>(now_ % 60));
            engine->OnTickTimer();
        }
    }
    void Work(int seconds) {
        for (int i = 0; i < seconds; ++i) Second(true);
    }
    void Idle(int seconds) {
        for (int i = 0; i < seconds; ++i) Second(false);
    }
    void WorkMinutes(int minutes) { Work(minutes * 60); }
    void IdleMinutes(int minutes) { Idle(minutes * 60); }
    // The machine sleeps: both clocks move on, no timer fires, no input arrives.
    void Sleep(int seconds) {
        input.tick += static_cast<std::uint32_t>(seconds) * 1000;
        calendar.Advance(seconds);
        now_ = calendar.Now();
    }
    // Runs until the next tick of the tick timer.
    void UntilNextTick(bool typing) {
        const int before = host.controlUpdates;
        while (host.controlUpdates == before) Second(typing);
    }

    int BreakReminders() const {
        int n = 0;
        for (const Notification& s : host.shown) n += s.breakDue == true && s.icon == 134;
        return n;
    }
    float Score() const { return engine->Rating().m_fScore; }
    void PutSetting(const wchar_t* section, const wchar_t* name, std::uint32_t value) {
        PutDword(kHkeyCurrentUser, false, section, name, value);
    }
    void AddPlanned(const std::wstring& text, int n) {
        PutString(kHkeyCurrentUser, false, L"Breaks", (L"Timed-" + std::to_wstring(n)).c_str(), text);
        PutSetting(L"Breaks", L"Timed", static_cast<std::uint32_t>(n + 1));
    }

    FakeCalendar calendar{0, 0};
    FakeInputClock input;
    FakeLocale locale;
    CPlannedBreakTexts texts{locale};
    RecordingHost host;
    std::unique_ptr<CBreakEngine> engine;

private:
    std::int64_t now_ = 0;
};

}  // namespace rw::test
