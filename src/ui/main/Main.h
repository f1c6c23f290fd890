// The main window: created hidden at start-up from the main dialog template, lives for the
// whole run. Closing it (Close, Escape, the close box) only hides it. It owns the break engine
// and shows its state: the description, rating bar, planned-break line and status; the
// notification area is the tray presenter's, the health tips and the update notices are
// parts of their own. One class over three files: Main.cpp (life cycle, routing, drawing),
// MainCommands.cpp (commands and notifications), MainView.cpp (what the engine shows here).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/BreakEngine.h"
#include "engine/PlannedBreakTexts.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "kit/ControlsPlus.h"
#include "platform/MessagePoster.h"
#include "res/resource.h"
#include "ui/main/HealthTips.h"
#include "ui/main/TrayPresenter.h"
#include "ui/main/UpdateNotices.h"
#include "ui/shared/AppShared.h"
#include "updates/ThreadScheduledEvents.h"

namespace rw {

class CdlgMain : public rw::Dialog, private rw::BreakEngineView {
public:
    // The main window's topic in the help.
    static constexpr DWORD kHelpContextMain = 100;

    // What the worker posts to this window through, made once the window exists.
    using PosterFactory = std::function<std::shared_ptr<rw::MessagePoster>(HWND window)>;

    // Loads the break settings, the rating and the planned breaks and restores the work
    // period, before the window exists.
    CdlgMain(rw::AppShared& app, PosterFactory posterFor);
    // The window goes first, while its handlers and the icons it shows still exist; then the
    // worker stops, notifications go and the icon is removed.
    ~CdlgMain() override;

    // Shows the window normally, on top, in the foreground and with the focus.
    void ShowMainWindow();
    // Destroys the window (saving the engine's state) and ends the program's message loop,
    // also from inside a modal window's loop.
    void Exit();
    // While one of this window's modal windows is open: brings it to the front and reports
    // true, so that no second modal window is stacked on it.
    bool RaiseModalWindow();

    // Reads every setting again and brings window, engine and icon up to date.
    void ApplySettings();

    const rw::CBreakEngine& Engine() const { return m_engine; }
    rw::CTrayPresenter& Tray() { return tray_; }
    const rw::CNotificationIcon& NotifyIcon() const { return tray_.Icon(); }
    HFONT TitleFont() const { return titleFont_.get(); }

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
    void UpdateBannerPosition();
    // A size in pixels at 96 DPI, at the window's DPI.
    int Scaled(int pixels) const;
    void StartWorker();

    // Message handlers (Main.cpp).
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

    // Commands and notifications (MainCommands.cpp).
    bool OnCommand(UINT id, UINT code);
    rw::MessageResult OnNotify(const NMHDR& header);
    void OnHelpButton();
    void ShowOptions();
    void OnBannerClick();
    // "&Customize...": the breaks settings page alone; its results go to the engine at once.
    void CustomizeBreaks();
    void ShowAbout();

    // What the engine shows in this window (MainView.cpp).
    void SetStatusIcon(int iconId) override;
    void UpdateControlsFromData() override;
    void RepaintRatingBar() override;
    bool IsMainWindowVisible() override;
    void ArmTickTimer(std::uint32_t periodMs) override;
    void KillTickTimer() override;

    // The application: its reload of the application settings, the instance message, the
    // upgrade check and records and the welcome time. The rest is what every window sees.
    rw::AppShared& app_;
    const rw::WindowServices& services_;
    PosterFactory posterFor_;

    HICON m_hIconApp = nullptr;  // the shared program icon, not destroyed
    rw::IconOwner m_iconAppSmall;
    int m_nBannerX = 0;
    DWORD m_nNotificationStyle = 2;
    std::wstring m_strNotificationSound;

    rw::CPlannedBreakTexts m_texts;
    rw::CTrayPresenter tray_;
    rw::CThreadScheduledEvents m_worker;
    rw::CBreakEngine m_engine;
    rw::CHealthTips tips_;
    rw::CUpdateNotices updates_;

    std::wstring m_strDescription;
    std::wstring m_strRatingTitle;
    std::wstring m_strPlanned;
    std::wstring m_strStatus;
    std::optional<rw::BreakChoice> describedChoice_;  // the choice the description tells
    HCURSOR m_hCursorHand = nullptr;
    std::wstring m_strBannerLink;

    rw::FontOwner titleFont_;  // the banner's, lent to the alert and the About window
    rw::FontOwner m_fontBold;  // the breaks group's caption
    // The bound texts as last written by a tick (none: unknown, the control is read) and
    // their controls: description, rating title, planned-break line, status.
    struct ShownText {
        std::optional<std::wstring> text;
        HWND control = nullptr;
    };
    static constexpr std::size_t kShownTexts = 4;
    ShownText shownTexts_[kShownTexts];
    std::wstring shownBarName_;  // the rating bar's text as last written
    int dpi_ = 96;               // the window's DPI
    // The status control's icon: the shared state icon at the system's DPI, its own copy at
    // another (the notification area keeps the system's).
    int statusIconId_ = 0;
    rw::IconOwner statusIcon_;
    std::pair<int, int> statusIconLoaded_{0, 0};  // its id and size
    std::optional<HICON> shownStatusIcon_;        // the control's picture as last set

    nsHalden::CStaticPlus m_staticBanner;
    nsHalden::CStaticPlus m_staticRatingBar;
    nsHalden::CMFCMenuButtonPlus m_buttonHelp;
};

}  // namespace rw
