#include "engine/BreakEngine.h"

#include "core/ResourceString.h"
#include "res/resource.h"
#include "core/ScheduledEventIds.h"

namespace rw {

namespace {

constexpr std::uint32_t kMinuteMs = 60000;
constexpr std::uint32_t kReminderTimeoutMs = 20000;
constexpr std::uint32_t kReminderRepeatMinutes = 5;
// Stored times from before this program existed are not its own.
constexpr std::int64_t kEarliestStoredTime = 1577836800;  // 2020-01-01 00:00 UTC
// Absences and work periods are carried over a restart up to a day long: far beyond any rest
// period, and well inside the 24.8 days a signed 32-bit difference of input-clock readings holds.
constexpr std::int64_t kLongestCarriedSeconds = 86400;
constexpr std::int32_t kSaveIntervalMs = 60000;
// A planned break is counted down during its last hour.
constexpr std::int64_t kCountdownSeconds = 3600;
// The longest wait of the tick timer.
constexpr std::uint32_t kLongestTickWaitMs = 3600000;
// How often input is looked for while none is expected: before a work period, and while resting.
constexpr std::uint32_t kInputLookMs = 20000;

std::int64_t Widen(std::uint32_t tick) {
    return static_cast<std::int64_t>(tick);
}
std::uint32_t Low32(std::int64_t tick) {
    return static_cast<std::uint32_t>(tick);
}

// The time from one reading to a later one; 0 when "from" is in truth the later one.
std::uint32_t ElapsedMs(std::int64_t from, std::int64_t to);

}  // namespace

std::int32_t InputTicksBetween(std::int64_t from, std::int64_t to) {
    return static_cast<std::int32_t>(Low32(to) - Low32(from));
}

namespace {
std::uint32_t ElapsedMs(std::int64_t from, std::int64_t to) {
    const std::int32_t ms = InputTicksBetween(from, to);
    return ms < 0 ? 0 : static_cast<std::uint32_t>(ms);
}
}  // namespace

CBreakEngine::CBreakEngine(const BreakEngineSeams& seams)
    : host_(seams.host),
      view_(seams.view),
      events_(seams.events),
      input_(seams.input),
      calendar_(seams.calendar),
      texts_(seams.texts),
      identity_(seams.identity) {
    LoadSettings();
    m_rating.Load(identity_);
    m_listPlanned = LoadPlannedBreakList(identity_);
    if (choice_.enabled) RestoreBreakState();
}

void CBreakEngine::LoadSettings() {
    const BreakSettings settings = LoadBreakSettings(identity_);
    choice_ = settings.choice;
    m_bEnableLocked = settings.enableLocked;
    m_bPeriodsLocked = settings.periodsLocked;
}

void CBreakEngine::RestoreBreakState() {
    m_tickLastInput = m_tickRestMark = m_tickWorkStart = 0;
    std::int64_t activeLast = 0;
    std::int64_t workStart = 0;
    if (!ReadSettingInt64(identity_, Setting::TimeActiveLast, activeLast) ||
        !ReadSettingInt64(identity_, Setting::TimeWorkStart, workStart) || activeLast == 0 || workStart == 0) {
        return;
    }
    // The pair is believed only as a whole: both from this program's lifetime, not in the
    // future, the work starting before the last activity, and no longer than a day.
    const std::int64_t now = calendar_.Now();
    if (workStart < kEarliestStoredTime || activeLast > now || workStart > activeLast ||
        activeLast - workStart > kLongestCarriedSeconds) {
        return;
    }
    // Wall-clock differences in 64 bits; an absence longer than a day counts as a day, which
    // is still a rest.
    std::int64_t absence = now - activeLast;
    if (absence > kLongestCarriedSeconds) absence = kLongestCarriedSeconds;
    const std::int64_t tickNow = Widen(input_.TickCount());
    m_tickLastInput = m_tickRestMark = tickNow - absence * 1000;
    m_tickWorkStart = m_tickLastInput - (activeLast - workStart) * 1000;
}

std::int64_t CBreakEngine::CalendarTimeOf(std::int64_t tick, std::int64_t tickNow, std::int64_t now) {
    // From the elapsed milliseconds, so that a reading before the wrap stays in the past.
    return tick == 0 ? 0 : now - InputTicksBetween(tick, tickNow) / 1000;
}

void CBreakEngine::WriteTimes(std::int64_t tickNow, std::int64_t now) {
    const std::int64_t activeLast = CalendarTimeOf(m_tickLastInput, tickNow, now);
    const std::int64_t workStart = CalendarTimeOf(m_tickWorkStart, tickNow, now);
    savedTick_ = tickNow;
    savedActiveLast_ = activeLast;
    savedWorkStart_ = workStart;
    if (Failed(WriteSettingInt64(identity_, Setting::TimeWorkStart, workStart))) return;
    WriteSettingInt64(identity_, Setting::TimeActiveLast, activeLast);
}

void CBreakEngine::SaveWhileRunning(std::int64_t tickNow, std::int64_t now) {
    // Seconds move with every tick of work; a change of a second or two is no change.
    const std::int64_t activeLast = CalendarTimeOf(m_tickLastInput, tickNow, now);
    const std::int64_t workStart = CalendarTimeOf(m_tickWorkStart, tickNow, now);
    const auto moved = [](std::int64_t a, std::int64_t b) { return a - b > 2 || b - a > 2; };
    // A work period that began or ended is written at once (a kill right after it keeps it);
    // the last activity and the rating once a minute.
    if (savedTick_ && !moved(workStart, savedWorkStart_) &&
        InputTicksBetween(*savedTick_, tickNow) < kSaveIntervalMs) {
        return;
    }
    if (m_rating.StoredValue() != savedScore_ || !savedTick_) {
        savedScore_ = m_rating.StoredValue();
        m_rating.Save(identity_);
    }
    if (savedTick_ && !moved(activeLast, savedActiveLast_) && !moved(workStart, savedWorkStart_)) return;
    if (savedTick_ && !moved(workStart, savedWorkStart_)) {
        // Work goes on: only the last activity moved, and only it is written.
        savedTick_ = tickNow;
        savedActiveLast_ = activeLast;
        WriteSettingInt64(identity_, Setting::TimeActiveLast, activeLast);
        return;
    }
    WriteTimes(tickNow, now);
}

void CBreakEngine::SaveBreakState() {
    m_rating.Save(identity_);
    savedScore_ = m_rating.StoredValue();
    if (choice_.enabled) WriteTimes(Widen(input_.TickCount()), calendar_.Now());
    if (m_bTimerOn) {
        StopTickTimer();
        m_bTimerOn = false;
    }
}

void CBreakEngine::ClearSuspension() {
    m_timeSuspendUntil = 0;
    m_tickSuspendStart = 0;
    m_dwSuspendMs = 0;
}

bool CBreakEngine::IsSuspended(std::uint32_t tick32, std::int64_t now) const {
    if (m_dwSuspendMs != 0) return ElapsedMs(m_tickSuspendStart, tick32) < m_dwSuspendMs;
    return now < m_timeSuspendUntil;
}

void CBreakEngine::OnTickTimer() {
    UpdateBreakState(kTickOrdinary);
}

std::uint32_t CBreakEngine::NextTickInMs(std::uint32_t tick32, std::int64_t now, bool countdownShown) const {
    // With no work period running, the first input is looked for: the work period starts at
    // the input a tick finds, so the wait is as long as a work period may start late.
    std::uint32_t wait = kInputLookMs;
    const auto sooner = [&wait](std::uint32_t ms) {
        if (ms < wait) wait = ms;
    };
    const auto secondsAway = [](std::int64_t seconds) {
        return seconds >= static_cast<std::int64_t>(kLongestTickWaitMs / 1000)
                   ? kLongestTickWaitMs
                   : static_cast<std::uint32_t>(seconds) * 1000u;
    };
    if (m_tickWorkStart != 0) {
        // Every minute of a work period can change the minutes shown, the reading (resting,
        // rested), the break falling due, a penalty or the five-minute reminder.
        wait = kMinuteMs - ElapsedMs(m_tickWorkStart, tick32) % kMinuteMs;
        // Resting: looked at as often as for the start of work. A look judges a rest from the
        // last input the look before it saw, so a pause that ended short of the rest period
        // could pass for a rest by as much as the time between two looks.
        if (m_tickLastInput != 0 && ElapsedMs(Low32(m_tickLastInput), tick32) >= kMinuteMs) sooner(kInputLookMs);
        if (IsSuspended(tick32, now)) {
            if (m_dwSuspendMs != 0) {
                sooner(m_dwSuspendMs - ElapsedMs(m_tickSuspendStart, tick32));
            } else if (m_timeSuspendUntil != kSuspendUntilRest) {
                sooner(secondsAway(m_timeSuspendUntil - now));
            }
        }
    }
    if (countdownShown) {
        // A planned break within the hour counts down on each minute of the clock.
        std::int64_t second = now % 60;
        if (second < 0) second += 60;
        sooner(static_cast<std::uint32_t>(60 - second) * 1000u);
    } else if (m_timeNextPlanned != -1 && m_timeNextPlanned - kCountdownSeconds > now) {
        sooner(secondsAway(m_timeNextPlanned - kCountdownSeconds - now));
    }
    return wait;
}

void CBreakEngine::ArmTickTimer(std::uint32_t periodMs) {
    // The timer repeats: a period that stays the same (a work period ticking on its minutes)
    // costs no call to set it again. A tick that comes early only computes the wait again.
    if (periodMs == armedPeriodMs_) return;
    view_.ArmTickTimer(periodMs);
    armedPeriodMs_ = periodMs;
}

void CBreakEngine::StopTickTimer() {
    view_.KillTickTimer();
    armedPeriodMs_ = 0;
}

void CBreakEngine::ApplyEnable() {
    if (choice_.enabled != m_bTimerOn) {
        if (choice_.enabled) {
            m_bTimerOn = true;  // the tick arms the timer
            UpdateBreakState(kTickRemindersOn);
        } else {
            StopTickTimer();
            shownIcon_ = 0;
            host_.SetIconAndTip(IDI_PROGRAM, host_.DisplayName());
        }
    }
    m_bTimerOn = choice_.enabled;
}

void CBreakEngine::OnIAmRested() {
    UpdateBreakState(kTickRested);
    host_.HideNotification();
}

void CBreakEngine::OnSuspend(SuspendCommand command) {
    ClearSuspension();
    switch (command) {
        case SuspendCommand::For15Minutes:
        case SuspendCommand::For30Minutes:
            m_tickSuspendStart = Widen(input_.TickCount());
            m_dwSuspendMs = command == SuspendCommand::For15Minutes ? 15 * kMinuteMs : 30 * kMinuteMs;
            break;
        case SuspendCommand::UntilNextRest: m_timeSuspendUntil = kSuspendUntilRest; break;
        case SuspendCommand::UntilPlannedBreak: m_timeSuspendUntil = m_timeNextPlanned; break;
    }
    UpdateBreakState(kTickQuietRefresh);
    host_.HideNotification();
}

void CBreakEngine::OnPointerOverIcon() {
    const std::int64_t now = calendar_.Now();
    if (now == lastPointerTick_) return;
    lastPointerTick_ = now;
    UpdateBreakState(kTickOrdinary);
}

void CBreakEngine::OnIconClicked() {
    UpdateBreakState(kTickQuiet);
}
void CBreakEngine::OnPowerOrClockChange() {
    UpdateBreakState(kTickQuietRefresh);
}

void CBreakEngine::OnTimeChange() {
    m_timeNotAgainPlanned = m_timeAnnouncedPlanned;
    const std::int64_t now = calendar_.Now();
    const std::int64_t skipped = m_timeNextPlanned;
    if (skipped != -1 && now >= skipped + 60) {
        // The clock jumped past the next planned break's minute: it is announced now, as at
        // its own time, and then the next one is planned.
        countdownAsOf_ = skipped;
        UpdateBreakState(kTickPlannedBreakDue);
        countdownAsOf_.reset();
        PlannedBreakCountdown(now);
        view_.UpdateControlsFromData();
    } else {
        UpdateBreakState(kTickQuietRefresh);
    }
    events_.Wake();
}

void CBreakEngine::OnSessionLocked() {
    m_tickLocked = Widen(input_.TickCount());
    if (m_tickLocked == 0) m_tickLocked = 1;
    UpdateBreakState(kTickQuietRefresh);
}

void CBreakEngine::OnSessionUnlocked() {
    m_tickLocked = 0;
    UpdateBreakState(kTickQuietRefresh);
}

void CBreakEngine::OnPlannedBreakDue() {
    UpdateBreakState(kTickPlannedBreakDue);
}
void CBreakEngine::OnInitialised() {
    UpdateBreakState(kTickQuietRefresh);
}

void CBreakEngine::OnCustomizeConfirmed(const BreakChoice& choice, const CPlannedBreakList& planned) {
    // The page stored the choice as shown; the engine holds it as the next start will read it.
    const BreakPeriods periods =
        ApplyBreakPeriodRules(static_cast<std::uint32_t>(choice.workMinutes),
                              static_cast<std::uint32_t>(choice.restMinutes), m_bPeriodsLocked);
    choice_ = {choice.enabled, periods.workMinutes, periods.restMinutes};
    m_listPlanned.CopyFrom(planned);
    ClearSuspension();
    ApplyEnable();
    UpdateBreakState(kTickSettingsChanged);
}

void CBreakEngine::ReloadSettings() {
    LoadSettings();
    ApplyEnable();
    UpdateBreakState(kTickSettingsChanged);
}

void CBreakEngine::RemovePlannedBreakEvent() {
    events_.Remove(EVENT_PLANNED_BREAK);
}

std::wstring CBreakEngine::Tooltip(const std::wstring& status, const std::wstring& extra) const {
    return host_.DisplayName() + L"\n" + status + extra;
}

CBreakEngine::Countdown CBreakEngine::PlannedBreakCountdown(std::int64_t now) {
    Countdown countdown;
    const NextPlannedBreak next = FindNextPlannedBreak(m_listPlanned, countdownAsOf_.value_or(now), calendar_);
    if (next.record) {
        const std::wstring& title = next.record->m_strTitle;
        // Round the seconds up to whole minutes; the break's own minute counts as 0.
        const std::int32_t s = next.secondsUntil;
        std::int32_t u = 0;
        if (s % 60 > 0) {
            u = s - s % 60 + 60;
        } else if (s > 0) {
            u = s;
        } else {
            // Its notification stays for the rest of the minute, but at least 20 seconds.
            std::int32_t rest = s + 60;
            if (rest < 0 || rest > 59) rest = 59;
            countdown.timeoutMs = static_cast<std::uint32_t>(rest) * 1000;
            if (countdown.timeoutMs < kReminderTimeoutMs) countdown.timeoutMs = kReminderTimeoutMs;
        }
        if (u <= 3600) {
            countdown.minutes = u / 60;
            if (countdown.minutes == 0) {
                FormatResourceString(countdown.text, IDS_PLANNED_DUE_NOW, {title});
            } else if (countdown.minutes == 1) {
                FormatResourceString(countdown.text, IDS_PLANNED_ONE_MINUTE, {title});
            } else {
                FormatResourceString(countdown.text, IDS_PLANNED_MINUTES, {title, countdown.minutes});
            }
        }

        // The summary line and the worker's wake-up follow the break's time.
        const std::int64_t t = countdownAsOf_.value_or(now) + s;
        if (t != m_timeNextPlanned) {
            m_timeNextPlanned = t;
            events_.Schedule(EVENT_PLANNED_BREAK, t, 0);
            const std::wstring timeText = texts_.TimeText(*next.record);
            if (next.daysAhead == 0) {
                FormatResourceString(m_strPlanned, IDS_PLANNED_TODAY, {timeText, title});
            } else if (next.daysAhead == 1) {
                FormatResourceString(m_strPlanned, IDS_PLANNED_TOMORROW, {timeText, title});
            } else {
                FormatResourceString(m_strPlanned, IDS_PLANNED_IN_DAYS, {timeText, title, next.daysAhead});
            }
        }
    } else if (m_timeNextPlanned != -1 || m_strPlanned.empty()) {
        m_timeNextPlanned = -1;
        RemovePlannedBreakEvent();
        m_strPlanned = rw::ResourceText(IDS_PLANNED_NONE);
    }
    return countdown;
}

void CBreakEngine::ShowIcons(int iconId, const std::wstring& tip) {
    shownIcon_ = iconId;
    shownTip_ = tip;
    view_.SetStatusIcon(iconId);
    host_.SetIconAndTip(iconId, tip);
}

void CBreakEngine::ShowStateAgain() {
    if (!choice_.enabled || shownIcon_ == 0) return;
    view_.SetStatusIcon(shownIcon_);
    host_.SetIconAndTip(shownIcon_, shownTip_);
}

void CBreakEngine::ShowState(const std::wstring& status, int iconId, int notificationIconId, bool bShowNow,
                             const Countdown& countdown, const std::wstring& extra) {
    m_strStatus = status;
    ShowIcons(iconId, Tooltip(m_strStatus, extra));
    if (bShowNow) {
        host_.SetAlertBreakDue(false);
        // The countdown is the notification's extra line, so the main text goes without it.
        host_.ShowNotification(countdown.text, Tooltip(m_strStatus, std::wstring()), notificationIconId,
                               countdown.timeoutMs);
    } else if (countdown.timeoutMs == 0) {
        host_.HideNotification();
    }
}

// The Working reading: status, icon and the break-due reminder.
void CBreakEngine::Working(std::uint32_t tick32, std::int64_t now, bool bQuiet, bool bShowNow,
                           const Countdown& countdown, const std::wstring& extra) {
    const std::uint32_t worked = ElapsedMs(m_tickWorkStart, tick32);
    const std::uint32_t minutes = worked / kMinuteMs;
    const bool suspended = IsSuspended(tick32, now);
    // Nothing changed: the same minute, no countdown, and a suspension neither begun nor ended.
    if (minutes == m_nShownMinutes && countdown.minutes == -1 && suspended == shownSuspended_) return;
    m_nShownMinutes = minutes;
    shownSuspended_ = suspended;
    if (worked >= WorkMs() && minutes >= 1) {
        // Every minute of overdue work after the first costs a penalty, none while suspended.
        if (worked >= WorkMs() + kMinuteMs && minutes != m_nPenaltyMinute) {
            m_nPenaltyMinute = minutes;
            if (!suspended) m_rating.LowerForOverdueMinute();
        }
        FormatResourceString(m_strStatus, IDS_STATUS_BREAK_DUE, {static_cast<int>(minutes)});
        const std::wstring tip = Tooltip(m_strStatus, extra);
        for (wchar_t& c : m_strStatus) {
            if (c == L'\n' || c == L'\r') c = L' ';
        }
        ShowIcons(suspended ? IDI_DUE_SUSPENDED : IDI_BREAK_DUE, tip);

        if (!bShowNow && (bQuiet || suspended)) return;
        const bool repeat = bShowNow || m_nReminderMinutes == 0 ||
                            minutes - m_nReminderMinutes >= kReminderRepeatMinutes ||
                            m_timeNextPlanned != m_timePlannedAtReminder;
        if (!repeat) return;
        m_timePlannedAtReminder = m_timeNextPlanned;
        m_nReminderMinutes = minutes;
        host_.SetAlertBreakDue(true);
        std::wstring text;
        FormatResourceString(text, IDS_BREAK_REMINDER,
                             {static_cast<int>(minutes), static_cast<int>(RestMs() / kMinuteMs)});
        host_.ShowNotification(countdown.text, text, IDI_BREAK_DUE,
                               bShowNow ? countdown.timeoutMs : kReminderTimeoutMs);
        return;
    }

    // Not due yet: the working texts, with the rested look during the first minute.
    if (minutes == 0) {
        ShowState(rw::ResourceText(IDS_STATUS_RESTED), IDI_RESTED, IDI_WORKING, bShowNow, countdown, extra);
    } else if (minutes == 1) {
        ShowState(rw::ResourceText(IDS_STATUS_WORKING_ONE), IDI_WORKING, IDI_WORKING, bShowNow, countdown, extra);
    } else {
        std::wstring status;
        FormatResourceString(status, IDS_STATUS_WORKING, {static_cast<int>(minutes)});
        ShowState(status, IDI_WORKING, IDI_WORKING, bShowNow, countdown, extra);
    }
}

void CBreakEngine::BookRest(std::uint32_t lastInput32) {
    // The rating credits only work periods of more than ten minutes.
    if (m_tickWorkStart != 0) m_rating.CreditRest(ElapsedMs(m_tickWorkStart, lastInput32), WorkMs());
    m_tickRestMark = Widen(lastInput32);
    m_tickWorkStart = 0;
    m_nReminderMinutes = m_nShownMinutes = m_nPenaltyMinute = 0;
    ClearSuspension();  // every suspension ends with a rest
    m_timePlannedAtReminder = -1;
}

void CBreakEngine::UpdateBreakState(bool bQuiet, bool bRefresh, bool bRested, bool bShowNow, bool bPlannedChanged) {
    if (!choice_.enabled) {
        m_timeNextPlanned = -1;
        RemovePlannedBreakEvent();
        shownIcon_ = 0;
        m_nShownMinutes = kNothingShown;
        view_.SetStatusIcon(0);
        m_strStatus.clear();
        m_strPlanned.clear();
        view_.UpdateControlsFromData();
        return;
    }
    const float scoreBefore = m_rating.m_fScore;

    ActivityReading reading = ReadingNone;
    if (bRested) {
        m_nReminderMinutes = m_nShownMinutes = m_nPenaltyMinute = 0;
        m_tickRestMark = m_tickLastInput = 0;
        ClearSuspension();
        m_timePlannedAtReminder = -1;
        reading = ReadingRested;
    }
    if (bRefresh) m_nShownMinutes = kNothingShown;
    if (bPlannedChanged) {
        m_timeNextPlanned = -1;
        m_strPlanned.clear();
    }

    const std::uint32_t tick32 = input_.TickCount();
    const std::int64_t tickNow = Widen(tick32);

    // A rest during which no tick ran: the computer slept, or the program was not running.
    if (m_tickLastInput != 0 && m_tickWorkStart != 0 &&
        InputTicksBetween(m_tickLastInput, tickNow) >= static_cast<std::int64_t>(RestMs())) {
        reading = ReadingRested;
    }

    std::uint32_t lastInput32 = Low32(m_tickLastInput);
    if (std::optional<std::uint32_t> lastInput = input_.LastInputTick()) {
        // While the workstation is locked nobody types: what looks like input does not count.
        if (m_tickLocked != 0 && InputTicksBetween(m_tickLocked, *lastInput) > 0) lastInput = Low32(m_tickLocked);
        lastInput32 = *lastInput;
        m_tickLastInput = Widen(lastInput32);
        if (reading == ReadingNone) {
            if (m_tickWorkStart == 0) {
                // The first input after the last rest starts a work period, shown from the next tick.
                // A mark of 0 is none: any input counts as later. An input a rest period old is
                // followed by a rest (the machine slept before a tick saw it): not the start of work.
                if ((m_tickRestMark == 0 || InputTicksBetween(m_tickRestMark, m_tickLastInput) > 0) &&
                    ElapsedMs(lastInput32, tick32) < RestMs()) {
                    m_tickWorkStart = m_tickLastInput;
                }
            } else {
                // An input that came between the two reads counts as no idle time.
                const std::uint32_t idle = ElapsedMs(lastInput32, tick32);
                if (idle >= RestMs()) {
                    reading = ReadingRested;
                } else if (idle < kMinuteMs) {
                    reading = ReadingWorking;
                } else {
                    reading = ReadingResting;
                }
            }
        }
    }

    const std::int64_t now = calendar_.Now();
    const Countdown countdown = PlannedBreakCountdown(now);
    if (bShowNow && countdown.minutes == 0) {
        // A planned break announced before the clock was changed is not announced again.
        if (m_timeNextPlanned == m_timeNotAgainPlanned) {
            bShowNow = false;
        } else {
            m_timeAnnouncedPlanned = m_timeNextPlanned;
        }
    }
    host_.EnableSuspendUntilPlanned(countdown.minutes != -1 && countdown.minutes != 0);
    host_.SetAlertPlannedMinutes(countdown.minutes);
    const std::wstring extra = countdown.text.empty() ? std::wstring() : L"\n" + countdown.text;

    // Nothing on show yet (the first tick, a refresh) and no reading: a work period just begun
    // is shown as working, none since the last rest as rested.
    if (reading == ReadingNone && m_nShownMinutes == kNothingShown) {
        if (m_tickWorkStart != 0) {
            reading = ReadingWorking;
        } else {
            ShowState(rw::ResourceText(IDS_STATUS_RESTED), IDI_RESTED, IDI_WORKING, bShowNow, countdown, extra);
            m_nShownMinutes = 0;
        }
    }
    switch (reading) {
        case ReadingNone: break;
        case ReadingWorking: Working(tick32, now, bQuiet, bShowNow, countdown, extra); break;
        case ReadingResting:
            ShowState(rw::ResourceText(IDS_STATUS_RESTING), IDI_RESTING, IDI_RESTING, bShowNow, countdown, extra);
            m_nShownMinutes = kNothingShown;  // the working text is rebuilt when input resumes
            break;
        case ReadingRested:
            ShowState(rw::ResourceText(IDS_STATUS_RESTED), IDI_RESTED, IDI_RESTED, bShowNow, countdown, extra);
            BookRest(lastInput32);
            break;
    }

    if (bRested) m_tickWorkStart = 0;
    // The timer waits for the next moment at which anything shown can change.
    if (m_bTimerOn) ArmTickTimer(NextTickInMs(tick32, now, countdown.minutes != -1));
    SaveWhileRunning(tickNow, now);
    view_.UpdateControlsFromData();
    if (m_rating.m_fScore != scoreBefore && view_.IsMainWindowVisible()) view_.RepaintRatingBar();
    host_.TickDone();
}

}  // namespace rw
