// The break engine: from the time of the last keyboard or mouse input it decides whether the
// user is working, resting or rested, counts the work period, reminds when a break is due,
// counts down planned breaks, moves the rating, and keeps its times across a restart.
// Everything runs on the user-interface thread; the owner reaches the world through the host.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/EventScheduler.h"
#include "engine/AchievementRating.h"
#include "engine/BreakEngineHost.h"
#include "engine/PlannedBreakList.h"
#include "engine/PlannedBreakTexts.h"
#include "platform/Clock.h"
#include "settings/SettingsCatalog.h"

namespace rw {

// Milliseconds from one input-clock reading to another. Readings are 32-bit and wrap every
// 49.7 days, so the difference is taken modulo 2^32 and read as signed: a reading is later
// than another when the difference is positive. Only the low 32 bits of either count.
std::int32_t InputTicksBetween(std::int64_t from, std::int64_t to);

enum ActivityReading { ReadingNone = 0, ReadingRested = 1, ReadingWorking = 2, ReadingResting = 3 };

// Commands of the tray menus and the alert pop-up that the engine answers.
enum class SuspendCommand { For15Minutes, For30Minutes, UntilNextRest, UntilPlannedBreak };

struct BreakEngineSeams {
    BreakEngineHost& host;   // the tray
    BreakEngineView& view;   // the main window
    EventScheduler& events;  // the planned-break event
    rw::InputClock& input;
    rw::Calendar& calendar;
    CPlannedBreakTexts& texts;
    const SettingsIdentity& identity;
};

class CBreakEngine {
public:
    static constexpr std::int64_t kSuspendUntilRest = 0x7FFFFFFFFFFFFFFFll;
    static constexpr int kTickTimerId = 101;

    // Loads the break settings, the rating and the planned breaks, and restores the work
    // period across a restart (the main window object does this before its window exists).
    explicit CBreakEngine(const BreakEngineSeams& seams);
    CBreakEngine(const CBreakEngine&) = delete;
    CBreakEngine& operator=(const CBreakEngine&) = delete;

    // One tick.
    void UpdateBreakState(bool bQuiet, bool bRefresh, bool bRested, bool bShowNow, bool bPlannedChanged);
    // The same, with the flags of one of the named ticks below.
    struct TickFlags {
        bool bQuiet, bRefresh, bRested, bShowNow, bPlannedChanged;
    };
    void UpdateBreakState(const TickFlags& f) {
        UpdateBreakState(f.bQuiet, f.bRefresh, f.bRested, f.bShowNow, f.bPlannedChanged);
    }
    // The ticks the events run, by the event (quiet, refresh, rested, show now, planned changed):
    // the tick timer, the pointer over the icon;
    static constexpr TickFlags kTickOrdinary{false, false, false, false, false};
    // reminders switched on;
    static constexpr TickFlags kTickRemindersOn{false, true, false, false, false};
    // "I am rested";
    static constexpr TickFlags kTickRested{true, true, true, false, false};
    // suspensions, power, clock, the first tick;
    static constexpr TickFlags kTickQuietRefresh{true, true, false, false, false};
    // a click on the icon;
    static constexpr TickFlags kTickQuiet{true, false, false, false, false};
    // the worker's planned-break event;
    static constexpr TickFlags kTickPlannedBreakDue{false, true, false, true, false};
    // new break settings or planned breaks.
    static constexpr TickFlags kTickSettingsChanged{false, true, false, false, true};

    // The tick timer (kTickTimerId) fired: an ordinary tick. Every tick while reminders are on
    // sets the timer to the next moment anything shown can change (NextTickInMs).
    void OnTickTimer();
    // Milliseconds from these readings of the clocks to the next moment a tick can change
    // anything: the next whole minute of a running work period, or the end of a suspension
    // when that comes first; each minute of the clock while a planned break is counted down
    // (countdownShown), else the start of its countdown; with no work period, 20 seconds (the
    // first input is looked for). At most an hour.
    std::uint32_t NextTickInMs(std::uint32_t tick32, std::int64_t now, bool countdownShown) const;
    // Applies the choice's switch: starts or stops the timer and shows the program icon when off.
    void ApplyEnable();

    // Commands and system events, with the ticks they run.
    void OnIAmRested();
    void OnSuspend(SuspendCommand command);
    void OnPointerOverIcon();     // at most one tick per calendar second
    void OnIconClicked();         // right-click or balloon click: a quiet tick
    void OnPowerOrClockChange();  // suspend/resume broadcasts
    // WM_TIMECHANGE: a planned break the clock jumped over is announced at once; then the
    // worker is woken for the new time.
    void OnTimeChange();
    // The workstation locked and unlocked: while it is locked nobody is at the keyboard,
    // whatever keeps "input" coming, so a lock as long as the rest period is a rest.
    void OnSessionLocked();
    void OnSessionUnlocked();
    void OnPlannedBreakDue();  // WMU_PLANNED_BREAK_DUE
    void OnInitialised();      // end of the main window's initialisation
    // "&Customize..." confirmed: the choice the page stored (the catalogue's rules applied to
    // it) and its planned breaks, suspension cleared.
    void OnCustomizeConfirmed(const BreakChoice& choice, const CPlannedBreakList& planned);
    // The stored settings changed (Options, a policy refresh): read again and applied.
    void ReloadSettings();

    // Writes "Score" and, with reminders on, "TimeActiveLast" and "TimeWorkStart"; stops the timer.
    void SaveBreakState();
    // Ends any suspension.
    void ClearSuspension();
    // Whether reminders are suspended at these readings of the two clocks.
    bool IsSuspended(std::uint32_t tick32, std::int64_t now) const;

    // The state icon and tooltip shown last, shown again: for an icon the shell has just
    // (re)created with the program's picture. Nothing while reminders are off.
    void ShowStateAgain();

    // What the windows read.
    const BreakChoice& Choice() const { return choice_; }
    bool EnableLocked() const { return m_bEnableLocked; }
    bool PeriodsLocked() const { return m_bPeriodsLocked; }
    const CAchievementRating& Rating() const { return m_rating; }
    const CPlannedBreakList& PlannedBreaks() const { return m_listPlanned; }
    const std::wstring& Status() const { return m_strStatus; }        // the status line
    const std::wstring& PlannedLine() const { return m_strPlanned; }  // the next planned break
    // The input-clock readings the state rests on (0: none), and the suspension.
    std::int64_t LastInputTick() const { return m_tickLastInput; }
    std::int64_t WorkStartTick() const { return m_tickWorkStart; }
    std::int64_t RestMarkTick() const { return m_tickRestMark; }
    std::int64_t LockedTick() const { return m_tickLocked; }
    std::int64_t SuspendedUntil() const { return m_timeSuspendUntil; }
    std::uint32_t SuspendMs() const { return m_dwSuspendMs; }
    std::int64_t NextPlannedTime() const { return m_timeNextPlanned; }
    std::uint32_t ReminderMinutes() const { return m_nReminderMinutes; }

private:
    // Engine state.
    BreakChoice choice_ = DefaultBreakChoice();
    bool m_bEnableLocked = false;
    bool m_bPeriodsLocked = false;
    std::int64_t m_tickLastInput = 0;
    std::int64_t m_tickWorkStart = 0;
    std::int64_t m_tickRestMark = 0;
    // A suspension until a moment of the calendar clock (a planned break, or "until the next
    // rest"), or for a length measured on the input clock, which the calendar's jumps do not move.
    std::int64_t m_timeSuspendUntil = 0;
    std::int64_t m_tickSuspendStart = 0;
    std::uint32_t m_dwSuspendMs = 0;
    std::int64_t m_timeNextPlanned = -1;
    CAchievementRating m_rating;
    CPlannedBreakList m_listPlanned;
    std::wstring m_strStatus;
    std::wstring m_strPlanned;
    bool m_bTimerOn = false;

    // Display memory, kept from one tick to the next.
    static constexpr std::uint32_t kNothingShown = 0xFFFFFFFF;  // the working minutes are not on show
    std::uint32_t m_nShownMinutes = kNothingShown;
    std::uint32_t m_nReminderMinutes = 0;
    bool shownSuspended_ = false;  // the working state last shown was suspended
    std::uint32_t m_nPenaltyMinute = 0;
    std::int64_t m_timePlannedAtReminder = -1;
    // The planned break last announced (its calendar time), and the one that a change of the
    // clock made past: the clock going back over it does not announce it again.
    std::int64_t m_timeAnnouncedPlanned = -1;
    std::int64_t m_timeNotAgainPlanned = -1;
    // Input-clock reading when the workstation was locked; 0 while it is not.
    std::int64_t m_tickLocked = 0;

    struct Countdown {
        std::wstring text;  // empty: no planned break within the hour
        int minutes = -1;   // -1 none within the hour, 0 due now
        std::uint32_t timeoutMs = 0;
    };

    // Reads the break settings ("Enable", "Work", "Rest" and their locks) again.
    void LoadSettings();
    // The periods as the clocks count them.
    std::uint32_t WorkMs() const { return static_cast<std::uint32_t>(choice_.workMinutes) * 60000u; }
    std::uint32_t RestMs() const { return static_cast<std::uint32_t>(choice_.restMinutes) * 60000u; }
    void RestoreBreakState();
    // Writes the two times, the work start first: a kill between the writes leaves a work
    // start later than the last activity, which the next start discards.
    void WriteTimes(std::int64_t tickNow, std::int64_t now);
    // The calendar time of an input-clock reading (0 stays 0: none).
    static std::int64_t CalendarTimeOf(std::int64_t tick, std::int64_t tickNow, std::int64_t now);
    // While running: the state is written when it changed, at most once a minute.
    void SaveWhileRunning(std::int64_t tickNow, std::int64_t now);
    Countdown PlannedBreakCountdown(std::int64_t now);
    void RemovePlannedBreakEvent();
    std::wstring Tooltip(const std::wstring& status, const std::wstring& extra) const;
    // A state that is not a due break: status text, icon and tooltip; the notification when
    // a planned break's moment asks for it, else any notification taken down.
    void ShowState(const std::wstring& status, int iconId, int notificationIconId, bool bShowNow,
                   const Countdown& countdown, const std::wstring& extra);
    void Working(std::uint32_t tick32, std::int64_t now, bool bQuiet, bool bShowNow, const Countdown& countdown,
                 const std::wstring& extra);
    void BookRest(std::uint32_t lastInput32);
    // The status icon and the notification-area icon with its tooltip, remembered.
    void ShowIcons(int iconId, const std::wstring& tip);
    // The tick timer (kTickTimerId) through the main window, remembering the period it repeats at (0: not running).
    void ArmTickTimer(std::uint32_t periodMs);
    void StopTickTimer();

    BreakEngineHost& host_;
    BreakEngineView& view_;
    EventScheduler& events_;
    rw::InputClock& input_;
    rw::Calendar& calendar_;
    CPlannedBreakTexts& texts_;
    const SettingsIdentity& identity_;
    std::int64_t lastPointerTick_ = -1;  // calendar second of the last pointer-driven tick
    int shownIcon_ = 0;                  // 0: none (reminders off)
    std::uint32_t armedPeriodMs_ = 0;
    std::wstring shownTip_;
    // What was last written, and when (input clock); nothing yet while savedTick_ is unset.
    std::optional<std::int64_t> savedTick_;
    std::int64_t savedActiveLast_ = 0, savedWorkStart_ = 0;
    std::uint32_t savedScore_ = 0;
    // Set while a tick shows a planned break the clock jumped over, at the break's own time.
    std::optional<std::int64_t> countdownAsOf_;
};

}  // namespace rw
