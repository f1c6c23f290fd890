// The main window: created hidden at start-up from template 102, lives for the whole run.
// Closing it (Close, Escape, the close box) only hides it. It owns the break engine, the
// notification-area icon, the alert pop-up and the scheduled-events worker, and implements
// the engine's host. One class over three files: DlgMain.cpp (life cycle, routing, drawing,
// tips), DlgMainCommands.cpp (commands and notifications), DlgMainHost.cpp (the engine host).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "ui/shared/AppShared.h"
#include "engine/BreakEngine.h"
#include "engine/PlannedBreakTexts.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "kit/ControlsPlus.h"
#include "ui/notify/NotificationAlert.h"
#include "ui/notify/NotificationIcon.h"
#include "platform/MessagePoster.h"
#include "res/resource.h"
#include "updates/ThreadScheduledEvents.h"

class CdlgMain : public rw::Dialog,
                 private rw::BreakEngineHost,
                 private rw::NotificationIconOwner,
                 private rw::AlertMainWindow {
public:
    // What the worker posts to this window through, made once the window exists.
    using PosterFactory = std::function<std::shared_ptr<rw::MessagePoster>(HWND window)>;

    // Loads the break settings, the rating and the planned breaks and restores the work
    // period, before the window exists.
    CdlgMain(rw::AppShared& app, PosterFactory posterFor);
    // The window goes first, while its handlers and the icons it shows still exist; then the
    // worker stops, notifications go and the icon is removed.
    ~CdlgMain() override;

    // Shows the window normally, on top, in the foreground and with the focus.
    void ShowMain();
    // Destroys the window (saving the engine's state) and ends the program's message loop,
    // also from inside a modal window's loop.
    void Exit();
    // While one of this window's modal windows is open: brings it to the front and reports
    // true, so that no second modal window is stacked on it.
    bool RaiseModalWindow();
    // The welcome notification of a first run or of the switches that ask for it.
    void ShowWelcomeNotification();

    // Reads every setting again and brings window, engine and icon up to date.
    void ApplySettings();

    const rw::CBreakEngine& Engine() const { return m_engine; }
    const rw::CNotificationIcon& NotifyIcon() const { return m_notifyIcon; }

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& exchange) override;

private:
    // Settings of this window: the notification method and sound, and the organisation's
    // health tab (the engine reads its own).
    void LoadWindowSettings();
    // The engine's texts and the description of its choice, into the members the controls show.
    void TakeEngineTexts();
    void RefreshOptionsButton();
    void CreateTitleFont();
    void CreateBoldFont();
    void OnDpiChanged(int dpi) override;
    void PlaceTipText();
    void UpdateHealthTabs();
    void ShowHealthTip();
    int SelectedTip() const;  // the selected tab less m_bBrandTab: -1 is the organisation's
    void UpdateBannerPosition();
    // A size in pixels at 96 DPI, at the window's DPI.
    int Scaled(int pixels) const;
    void StartWorker();

    // Message handlers (DlgMain.cpp).
    LRESULT OnInstanceMessage(WPARAM action);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnEndSession(bool ending);
    void OnPowerBroadcast(WPARAM event);
    void OnSessionChange(WPARAM event);
    void OnSettingsNotSaved();
    void OnTimeChange();
    void OnSettingChange(LPARAM area);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    void DrawBanner(const DRAWITEMSTRUCT& item);
    bool OnPaintMinimised();

    // Commands and notifications (DlgMainCommands.cpp).
    bool OnCommand(UINT id, UINT code);
    rw::MessageResult OnNotify(const NMHDR& header);
    void OnHelpButton();
    void ShowOptions();
    void OnBannerClick();
    void OnTipLink(const ENLINK& link);
    // "&Customize...": the breaks settings page alone; its results go to the engine at once.
    void CustomizeBreaks();

    // Upgrade, news and About (DlgMainUpdates.cpp).
    void OnUpgradeInfo();
    void OnNewsInfo();
    void OnUpgradeNotice();
    void OnCheckSkipped();
    void ShowStoredUpdateState();
    void RefreshUpgradeButton();
    void RefreshNewsButton(bool popup);
    void ShowNewsWindow();
    void ShowAbout();
    void OnUpgradeButton();
    bool m_bNewsWindowOpen = false;
    bool m_bUpgradeNoticeOpen = false;
    bool m_bNewsPopupWaiting = false;  // news came while an upgrade notice was open

    // The engine's host (DlgMainHost.cpp).
    void SetStatusIcon(int iconId) override;
    void SetIconAndTip(int iconId, const std::wstring& tip) override;
    void ShowNotification(const std::wstring& extra, const std::wstring& text, int iconId,
                          std::uint32_t timeoutMs) override;
    void HideNotification() override;
    void SetAlertBreakDue(int breakDue) override;
    void SetAlertPlannedMinutes(int minutes) override;
    void EnableSuspendUntilPlanned(bool enable) override;
    void UpdateControlsFromData() override;
    void RepaintRatingBar() override;
    bool IsMainWindowVisible() override;
    const std::wstring& DisplayName() override;
    void ArmTickTimer(std::uint32_t periodMs) override;
    void KillTickTimer() override;
    void TickDone() override;
    HICON StateIcon(int iconId) const;

    // The owner of the notification-area icon (DlgMainHost.cpp).
    HWND IconOwnerWindow() override;
    HICON IconById(int iconId) override;
    HMENU TrayBreakMenu() override;
    void RunEngineTick(bool quiet) override;
    void ShowMainWindow() override;
    bool RemindersEnabled() override;
    void IconAdded() override;

    // What the alert pop-up reads (DlgMainHost.cpp).
    int RemindersSwitch() const override;
    float Rating() const override;
    bool RatingRising() const override;

    rw::AppShared& app_;
    PosterFactory posterFor_;

    HICON m_hIconApp = nullptr;  // the shared program icon, not destroyed
    rw::IconOwner m_iconAppSmall;
    // The six state icons at the notification area's size, by resource id.
    struct StateIconEntry {
        int id;
        rw::IconOwner icon;
    };
    StateIconEntry m_stateIcons[6] = {{IDI_PROGRAM, {}},   {IDI_WORKING, {}}, {IDI_RESTED, {}},
                                      {IDI_BREAK_DUE, {}}, {IDI_RESTING, {}}, {IDI_DUE_SUSPENDED, {}}};
    int m_nBannerX = 0;
    DWORD m_nNotificationStyle = 2;
    std::wstring m_strNotificationSound;

    CPlannedBreakTexts m_texts;
    rw::CdlgNotificationAlert m_alert;
    rw::CNotificationIcon m_notifyIcon;
    CThreadScheduledEvents m_worker;
    rw::CBreakEngine m_engine;

    std::wstring m_strLinkText;
    int m_bBrandTab = 0;
    std::wstring m_strBrandHealthTitle;
    std::wstring m_strBrandHealthContents;
    std::wstring m_strBrandHealthLink;
    rw::MenuOwner m_menuTrayBreak;
    std::wstring m_strDescription;
    std::wstring m_strRatingTitle;
    std::wstring m_strPlanned;
    std::wstring m_strStatus;
    std::optional<rw::BreakChoice> describedChoice_;  // the choice the description tells
    HCURSOR m_hCursorHand = nullptr;
    std::wstring m_strBannerLink;
    std::wstring m_strTipText;

    rw::FontOwner m_fontBold;    // the breaks group's caption
    std::wstring shownTexts_;    // the bound texts and the bar's name as last written
    std::wstring shownBarName_;  // the rating bar's text as last written
    int dpi_ = 96;               // the window's DPI
    // The status control's icon: the shared state icon at the system's DPI, its own copy at
    // another (the notification area keeps the system's).
    int statusIconId_ = 0;
    rw::IconOwner statusIcon_;
    std::pair<int, int> statusIconLoaded_{0, 0};  // its id and size

    nsHalden::CStaticPlus m_staticBanner;
    nsHalden::CStaticPlus m_staticRatingBar;
    nsHalden::CTabCtrlPlus m_tabTips;
    nsHalden::CRichEditCtrlPlus m_editTip;
    nsHalden::CMFCMenuButtonPlus m_buttonHelp;
};
