// The main window's life cycle, message routing and drawing.
#include "ui/main/Main.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <wtsapi32.h>

#include <cwctype>

#include "settings/StartupLogic.h"
#include "core/WebAddress.h"
#include "core/PrivateMessages.h"
#include "core/ResourceString.h"
#include "core/VersionQuad.h"
#include "framework/Dpi.h"
#include "settings/AppSettings.h"
#include "settings/SettingsCatalog.h"
#include "settings/UnsavedSettings.h"

namespace rw {

namespace {

constexpr UINT_PTR kTickTimer = rw::CBreakEngine::kTickTimerId;

bool IsPolicyArea(LPARAM area) {
    const auto* name = reinterpret_cast<const wchar_t*>(area);
    if (!name) return false;
    const wchar_t policy[] = L"policy";
    size_t i = 0;
    for (; name[i] && i < 6; ++i) {
        if (std::towlower(name[i]) != policy[i]) return false;
    }
    return i == 6 && name[6] == 0;
}

}  // namespace

CdlgMain::CdlgMain(rw::AppShared& app, PosterFactory posterFor)
    : Dialog(IDD_MAIN),
      app_(app),
      services_(app.Services()),
      posterFor_(std::move(posterFor)),
      m_texts(app.seams.locale),
      tray_(app.Services(), m_worker, [this] { ShowMainWindow(); }),
      m_worker(app.seams.calendar, app.upgradeCheck),
      m_engine(rw::BreakEngineSeams{tray_, *this, m_worker, app.seams.inputClock, app.seams.calendar, m_texts,
                                    app.identity}),
      tips_(app),
      updates_(app.Services(), app.updates, app.welcomeTime, [this] { Exit(); }) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hIconApp = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    m_iconAppSmall.reset(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    // The engine read the break settings, the rating and the planned breaks, and restored
    // the work period; the rest of this window's settings follow.
    LoadWindowSettings();
}

CdlgMain::~CdlgMain() {
    Destroy();
    m_worker.Stop(false);
    tray_.Close();
}

void CdlgMain::LoadWindowSettings() {
    const SettingsIdentity& identity = services_.identity;
    m_nNotificationStyle = rw::ReadSettingDword(identity, rw::Setting::NotificationStyle);
    m_strNotificationSound = rw::ReadSettingString(identity, rw::Setting::NotificationSound);
    tips_.LoadBranding(identity);
}

rw::MessageResult CdlgMain::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    // Registered messages cannot be case labels.
    if (message == app_.instanceMessage && message != 0) return OnInstanceMessage(wParam);
    if (tray_.OnMessage(message, wParam, lParam) || updates_.OnMessage(message)) return 0;
    switch (message) {
        case WMU_PLANNED_BREAK_DUE: m_engine.OnPlannedBreakDue(); return 0;
        case WMU_SETTINGS_NOT_SAVED: OnSettingsNotSaved(); return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != IDM_ABOUTBOX) break;
            ShowAbout();
            return 0;
        case WM_TIMER: OnTimer(wParam); break;  // then the default processing
        case WM_POWERBROADCAST: OnPowerBroadcast(wParam); break;
        case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); return 0;
        case WM_TIMECHANGE:
            DefaultProcessing(message, wParam, lParam);
            OnTimeChange();
            return 0;
        case WM_ENDSESSION:
            DefaultProcessing(message, wParam, lParam);
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_DESTROY:
            DefaultProcessing(message, wParam, lParam);
            OnDestroy();
            return 0;
        case WM_SETTINGCHANGE:
            DefaultProcessing(message, wParam, lParam);
            OnSettingChange(lParam);
            return 0;
        case WM_DRAWITEM:
            if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_THEMECHANGED: return 0;
        case WM_PAINT:
            if (OnPaintMinimised()) return 0;
            break;
        case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hIconApp);
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_NOTIFY:
            if (auto result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return result;
            break;
    }
    return Dialog::Route(message, wParam, lParam);
}

void CdlgMain::ExchangeData(rw::DataExchange& exchange) {
    // Written or read here: the next tick compares with the controls again.
    for (ShownText& shown : shownTexts_) shown.text.reset();
    exchange.Text(IDC_DESCRIPTION, m_strDescription);
    exchange.Text(IDC_RATING_TITLE, m_strRatingTitle);
    exchange.Text(IDC_PLANNED_TEXT, m_strPlanned);
    exchange.Text(IDC_STATUS_TEXT, m_strStatus);
    exchange.Control(IDC_RATING_BAR, m_staticRatingBar);
    exchange.Control(IDC_BANNER, m_staticBanner);
    tips_.Bind(exchange);
    exchange.Control(IDC_HELP_MENU, m_buttonHelp);
}

rw::InitFocus CdlgMain::OnInitDialog() {
    Dialog::OnInitDialog();  // binds the controls and pushes the texts
    HINSTANCE instance = GetModuleHandleW(nullptr);
    dpi_ = rw::WindowDpi(hwnd());
    rw::CentreOnWorkArea(hwnd());

    const std::wstring about = rw::ResourceText(IDS_ABOUT_MENU);
    if (HMENU system = GetSystemMenu(hwnd(), FALSE); system && !about.empty()) {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIconApp));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_iconAppSmall ? m_iconAppSmall.get() : m_hIconApp));
    SetContextHelpId(kHelpContextMain);
    std::wstring caption;
    if (rw::FormatResourceString(caption, IDS_MAIN_CAPTION, {services_.fullName, rw::kRunningVersionShort})) {
        SetText(caption);
    }
    TakeEngineTexts();
    UpdateData(rw::Direction::ToControls);

    tray_.Attach(hwnd(), m_engine);
    CreateTitleFont();
    CreateBoldFont();

    m_buttonHelp.LoadDropDownMenu(instance, IDR_MENU_HELP);
    tray_.Icon().OnTrayIconRequest(rw::TrayIconRequest::Recreate);
    tray_.Icon().SetEcoMode(services_.EcoMode());
    UpdateBannerPosition();

    m_hCursorHand = LoadCursorW(nullptr, IDC_HAND);
    m_strBannerLink = rw::HomePageAddress();
    m_staticBanner.SetCursor(m_hCursorHand);
    m_staticBanner.SetTooltipText(m_strBannerLink);
    m_staticBanner.EnableToolTips();

    // A setting the registry refuses is told once, from this window's own loop; one refused
    // before the window existed (the welcome wizard's) is told now.
    if (rw::UnsavedSettings* unsaved = services_.identity.unsaved) {
        unsaved->onFailure = [window = hwnd()] { PostMessageW(window, WMU_SETTINGS_NOT_SAVED, 0, 0); };
        Post(WMU_SETTINGS_NOT_SAVED);
    }
    // Locking the workstation counts as being away.
    WTSRegisterSessionNotification(hwnd(), NOTIFY_FOR_THIS_SESSION);
    m_engine.ApplyEnable();
    StartWorker();
    updates_.Attach(hwnd());
    updates_.ShowStoredState();
    RefreshOptionsButton();
    tips_.Init(hwnd());

    SetStatusIcon(0);
    m_engine.OnInitialised();
    return rw::InitFocus::Set;
}

void CdlgMain::CreateTitleFont() {
    if (titleFont_) return;
    LOGFONTW font{};
    HFONT dialogFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font)) return;
    font.lfWeight = FW_BOLD;
    font.lfHeight = -Scaled(16);  // 16 pixels high at 96 DPI
    font.lfWidth = 0;
    titleFont_.reset(CreateFontIndirectW(&font));
    tray_.LendTitleFont(titleFont_.get());
    updates_.LendTitleFont(titleFont_.get());
}

void CdlgMain::CreateBoldFont() {
    LOGFONTW font{};
    if (!GetObjectW(reinterpret_cast<HFONT>(Send(WM_GETFONT)), sizeof font, &font)) return;
    font.lfWeight = FW_BOLD;
    rw::FontOwner bold(CreateFontIndirectW(&font));
    if (!bold) return;
    SendMessageW(Item(IDC_BREAKS_GROUP), WM_SETFONT, reinterpret_cast<WPARAM>(bold.get()), TRUE);
    m_fontBold = std::move(bold);  // the old one goes once the group box has let go of it
}

void CdlgMain::OnDpiChanged(int dpi) {
    dpi_ = dpi;
    titleFont_.reset();
    CreateTitleFont();
    CreateBoldFont();
    SetStatusIcon(statusIconId_);
    UpdateBannerPosition();
    tips_.PlaceText(hwnd());
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CdlgMain::TakeEngineTexts() {
    const rw::BreakChoice& choice = m_engine.Choice();
    if (choice != describedChoice_) {
        m_strDescription = rw::DescribeBreakChoice(choice);
        m_strRatingTitle = rw::ResourceText(rw::CAchievementRating::TitleTextId(choice.enabled));
        describedChoice_ = choice;
    }
    m_strPlanned = m_engine.PlannedLine();
    m_strStatus = m_engine.Status();
}

void CdlgMain::StartWorker() {
    m_worker.Start(posterFor_(hwnd()), services_.identity);
}

void CdlgMain::RefreshOptionsButton() {
    const rw::PolicyButtonState state =
        rw::ButtonStateForHideValue(rw::ReadSettingDword(services_.identity, rw::Setting::HideOptions));
    EnableItem(IDC_OPTIONS, state.enabled);
    ShowItem(IDC_OPTIONS, state.visible);
}

void CdlgMain::UpdateBannerPosition() {
    // The banner's text is its accessible name: the organisation's title or the maker.
    rw::SetTextIfChanged(m_staticBanner.hwnd(),
                         services_.branding.brandingActive && !services_.branding.brandTitle.empty()
                             ? services_.branding.brandTitle
                             : services_.companyLegalName);
    RECT client{};
    GetClientRect(m_staticBanner.hwnd(), &client);
    m_nBannerX = client.right - Scaled(services_.images.bannerWidth);
}

int CdlgMain::Scaled(int pixels) const {
    return rw::ScaleToDpi(pixels, dpi_);
}

void CdlgMain::ApplySettings() {
    app_.LoadAppSettings();
    tray_.Icon().SetEcoMode(services_.EcoMode());
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    LoadWindowSettings();
    // The icon first, so that the engine's tick shows the state on the new one.
    tray_.Icon().OnTrayIconRequest(rw::TrayIconRequest::Recreate);
    m_engine.ReloadSettings();
    UpdateBannerPosition();
    RedrawWindow(m_staticBanner.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    tips_.UpdateTabs();
}

LRESULT CdlgMain::OnInstanceMessage(WPARAM action) {
    if (action == rw::kInstanceShow) {
        // A close request already waiting wins: the start that asks then waits for this one to end.
        MSG pending{};
        if (PeekMessageW(&pending, hwnd(), app_.instanceMessage, app_.instanceMessage, PM_NOREMOVE) &&
            pending.wParam == rw::kInstanceClose) {
            return 0;
        }
        ShowMainWindow();
        return rw::kInstanceShown;
    }
    if (action == rw::kInstanceClose) Exit();
    return 0;
}

void CdlgMain::OnTimer(UINT_PTR id) {
    if (id == kTickTimer) m_engine.OnTickTimer();
}

void CdlgMain::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND || event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMEAUTOMATIC) {
        m_engine.OnPowerOrClockChange();
    }
}

void CdlgMain::OnSessionChange(WPARAM event) {
    if (event == WTS_SESSION_LOCK) m_engine.OnSessionLocked();
    if (event == WTS_SESSION_UNLOCK) m_engine.OnSessionUnlocked();
}

void CdlgMain::OnSettingsNotSaved() {
    const auto report = services_.identity.unsaved ? services_.identity.unsaved->TakeReport() : std::nullopt;
    if (!report) return;
    wchar_t* reason = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(report->error & 0xFFFF), 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
    std::wstring why = reason ? reason : L"";
    LocalFree(reason);
    while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r' || why.back() == L' ' || why.back() == L'.')) {
        why.pop_back();
    }
    std::wstring message;
    if (rw::FormatResourceString(message, IDS_SETTINGS_NOT_SAVED, {report->name, why})) {
        MessageBoxW(hwnd(), message.c_str(), services_.productName.c_str(), MB_OK | MB_ICONWARNING);
    }
}

void CdlgMain::OnTimeChange() {
    m_engine.OnTimeChange();
}

void CdlgMain::OnDestroy() {
    WTSUnRegisterSessionNotification(hwnd());
    m_engine.SaveBreakState();
}

void CdlgMain::OnEndSession(bool ending) {
    m_engine.SaveBreakState();
    // A log-off that was cancelled: the session goes on, and so do the reminders (the save
    // stopped the tick timer; switching on again restarts it with a tick).
    if (!ending) m_engine.ApplyEnable();
}

void CdlgMain::OnSettingChange(LPARAM area) {
    if (!IsPolicyArea(area)) return;
    ApplySettings();
    RefreshOptionsButton();
    updates_.RefreshButtons();
}

bool CdlgMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_RATING_BAR) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        const rw::CAchievementRating& rating = m_engine.Rating();
        services_.DrawAchievementBar(item.hDC, item.rcItem, m_engine.Choice().enabled, rating.m_fScore,
                                     rating.m_bScoreRising, titleFont_.get());
        return true;
    }
    if (item.CtlID == IDC_BANNER) {
        DrawBanner(item);
        return true;
    }
    return false;
}

void CdlgMain::DrawBanner(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    rw::SelectionGuard font(dc, titleFont_.get());
    const rw::SharedImages& images = services_.images;
    if (!images.bannerImage.IsNull()) {
        // The images' sizes are at 96 DPI; the dialog grows with the DPI, and so do they.
        const int height = Scaled(images.bannerHeight);
        const nsHalden::CImagePlus& banner = images.bannerImage;
        banner.Draw(dc, rc.left + m_nBannerX, rc.top, Scaled(images.bannerWidth), height, 0, 0, banner.Width(),
                    banner.Height());
        if (!services_.branding.brandingActive && !images.bannerEdge.IsNull()) {
            const nsHalden::CImagePlus& edge = images.bannerEdge;
            const int width = Scaled(images.bannerEdgeWidth);
            edge.Draw(dc, rc.left + m_nBannerX - width, rc.top, width, height, 0, 0, edge.Width(), edge.Height());
        }
        return;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (services_.branding.brandingActive) {
        RECT box = rc;
        // Measured at every drawing, in the font of the window's DPI: a reload of the settings
        // or a DPI change may have changed the title or the room it has.
        bool multiLine = services_.branding.brandTitleMultiLine;
        if (!multiLine) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, services_.branding.brandTitle.c_str(),
                                  static_cast<int>(services_.branding.brandTitle.size()), &extent);
            multiLine = extent.cx > rc.right - rc.left;
        }
        if (multiLine) {
            DrawTextW(dc, services_.branding.brandTitle.c_str(), -1, &box, DT_CENTER | DT_WORDBREAK);
        } else {
            DrawTextW(dc, services_.branding.brandTitle.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    } else {
        // Only the lower left corner of the rounded rectangle shows, with a line along its foot.
        rw::SelectionGuard brush(dc, services_.backgroundBrush.get());
        RoundRect(dc, rc.left + 14, rc.top - 14, rc.right + 14, rc.bottom - 14, 14, 14);
        MoveToEx(dc, rc.left + 20, rc.bottom - 14, nullptr);
        LineTo(dc, rc.right + 14, rc.bottom - 14);
        RECT box{rc.left + 14, rc.top, rc.right, rc.bottom - 14};
        DrawTextW(dc, services_.companyLegalName.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SetBkMode(dc, oldMode);
}

bool CdlgMain::OnPaintMinimised() {
    if (!IsIconic(hwnd())) return false;
    rw::PaintGuard paint(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(paint.dc(), (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, m_hIconApp);
    return true;
}

void CdlgMain::ShowMainWindow() {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    BringWindowToTop(hwnd());
    if (RaiseModalWindow()) return;
    SetForegroundWindow(hwnd());
    SetFocus(hwnd());
}

bool CdlgMain::RaiseModalWindow() {
    // A modal window of ours disables this one for as long as it runs.
    if (!hwnd() || IsWindowEnabled(hwnd())) return false;
    HWND modal = GetLastActivePopup(hwnd());
    if (modal && modal != hwnd()) SetForegroundWindow(modal);
    return true;
}

void CdlgMain::Exit() {
    // Destroying this window ends every modal window it owns; their loops hand WM_QUIT on.
    DestroyWindow(hwnd());
    PostQuitMessage(0);
}

}  // namespace rw
