// What the break engine needs of the program's windows, in two parts: the tray's (the
// notification-area icon and tooltip, the notifications, the alert pop-up's state, the tray
// break menu) and the main window's (its status icon, texts and rating bar, and the tick
// timer it receives). The tray presenter and the main window implement one each; the tests
// record both. The worker's planned-break event goes to the scheduler.
#pragma once
#include <cstdint>
#include <string>

namespace rw {

class BreakEngineHost {
public:
    virtual ~BreakEngineHost() = default;

    // The notification-area icon and its tooltip.
    virtual void SetIconAndTip(int iconId, const std::wstring& tip) = 0;
    // A balloon or the alert pop-up: extra is the planned-break countdown line (may be empty).
    virtual void ShowNotification(const std::wstring& extra, const std::wstring& text, int iconId,
                                  std::uint32_t timeoutMs) = 0;
    virtual void HideNotification() = 0;
    // The alert pop-up's m_bBreakDue and m_nPlannedMinutes.
    virtual void SetAlertBreakDue(bool breakDue) = 0;
    virtual void SetAlertPlannedMinutes(int minutes) = 0;
    // "Suspend until Planned Break" (ID_SUSPEND_UNTIL_PLANNED) of the tray break menu.
    virtual void EnableSuspendUntilPlanned(bool enable) = 0;
    // The program's display name, the first line of every tooltip.
    virtual const std::wstring& DisplayName() = 0;

    // The end of every tick.
    virtual void TickDone() {}
};

class BreakEngineView {
public:
    virtual ~BreakEngineView() = default;

    // The main window's status icon; 0 clears it.
    virtual void SetStatusIcon(int iconId) = 0;
    // Pushes the bound texts (status, planned-break line) into the controls.
    virtual void UpdateControlsFromData() = 0;
    virtual void RepaintRatingBar() = 0;
    virtual bool IsMainWindowVisible() = 0;

    // The tick timer of the main window; it repeats at the period given until set again or killed.
    virtual void ArmTickTimer(std::uint32_t periodMs) = 0;
    virtual void KillTickTimer() = 0;
};

}  // namespace rw
