// The program in the notification area: the icon and its tooltip, the notifications (balloon
// or alert pop-up), the state icons and the tray break menu. It is the break engine's host;
// the icon's clicks and what the alert shows of the rating come from the engine it is
// attached to. Its messages arrive at the main window, which owns it and hands them over.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/EventScheduler.h"
#include "engine/BreakEngine.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "ui/notify/NotificationAlert.h"
#include "ui/notify/NotificationIcon.h"
#include "ui/shared/WindowServices.h"

namespace rw {

class CTrayPresenter : public BreakEngineHost, private NotificationIconOwner, private AlertMainWindow {
public:
    // showMain: brings the main window up (the icon's select).
    CTrayPresenter(const WindowServices& services, EventScheduler& events, std::function<void()> showMain);
    CTrayPresenter(const CTrayPresenter&) = delete;
    CTrayPresenter& operator=(const CTrayPresenter&) = delete;

    // The window that receives the icon's callbacks and the menus' and alert's commands, and
    // the engine the clicks tick; before the icon is made. Loads the state icons.
    void Attach(HWND window, CBreakEngine& engine);
    // Hides a notification, ends the alert and removes the icon (the worker has stopped).
    void Close();
    // The notification area's messages: true when the message was one.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The main window's title font, which the alert borrows for its rating bar.
    void LendTitleFont(HFONT font) { alert_.m_hTitleFont = font; }

    CNotificationIcon& Icon() { return icon_; }
    const CNotificationIcon& Icon() const { return icon_; }
    // A state icon at the notification area's size, by resource id; null when not loaded.
    HICON IconById(int iconId) override;

    // The engine's host.
    void SetIconAndTip(int iconId, const std::wstring& tip) override;
    void ShowNotification(const std::wstring& extra, const std::wstring& text, int iconId,
                          std::uint32_t timeoutMs) override;
    void HideNotification() override;
    void SetAlertBreakDue(bool breakDue) override;
    void SetAlertPlannedMinutes(int minutes) override;
    void EnableSuspendUntilPlanned(bool enable) override;
    const std::wstring& DisplayName() override;
    void TickDone() override;

private:
    // The icon's owner.
    HWND IconOwnerWindow() override;
    HMENU TrayBreakMenu() override;
    void RunEngineTick(bool quiet) override;
    void ShowMainWindow() override;
    // The break reminders switch, for the welcome text and the alert alike.
    bool RemindersEnabled() const override;
    void IconAdded() override;

    // What the alert reads.
    float Rating() const override;
    bool RatingRising() const override;

    const WindowServices& services_;
    std::function<void()> showMain_;
    HWND window_ = nullptr;
    CBreakEngine* engine_ = nullptr;
    // The six state icons at the notification area's size, by resource id.
    struct StateIconEntry {
        int id;
        IconOwner icon;
    };
    StateIconEntry stateIcons_[6] = {{IDI_PROGRAM, {}},   {IDI_WORKING, {}}, {IDI_RESTED, {}},
                                     {IDI_BREAK_DUE, {}}, {IDI_RESTING, {}}, {IDI_DUE_SUSPENDED, {}}};
    MenuOwner breakMenu_;
    CdlgNotificationAlert alert_;
    CNotificationIcon icon_;
};

}  // namespace rw
