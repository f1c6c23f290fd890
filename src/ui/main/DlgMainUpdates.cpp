// The main window's side of the upgrade and news check: its two buttons, the news pop-up,
// storing what the worker found; and the About window.
#include "ui/main/DlgMain.h"

#include "ui/about/About.h"
#include "settings/SettingsCatalog.h"
#include "updates/NewsPopup.h"
#include "ui/news/WebBrowser.h"
#include "updates/UpgradeCheck.h"

void CdlgMain::OnUpgradeInfo() {
    RefreshUpgradeButton();
    const rw::UpdateRecord upgrade = app_.updates.Upgrade();
    rw::WriteSettingInt64(app_.identity, rw::Setting::UpgradeVersion, static_cast<std::int64_t>(upgrade.version));
    rw::WriteSettingString(app_.identity, rw::Setting::UpgradeUrl, upgrade.url);
    rw::WriteSettingDword(app_.identity, rw::Setting::UpgradeType, upgrade.type);
}

void CdlgMain::OnNewsInfo() {
    // While an upgrade notice is open the news pop-up waits for it to close.
    RefreshNewsButton(!m_bUpgradeNoticeOpen);
    if (m_bUpgradeNoticeOpen) m_bNewsPopupWaiting = true;
    const rw::UpdateRecord news = app_.updates.News();
    rw::WriteSettingInt64(app_.identity, rw::Setting::NewsVersion, static_cast<std::int64_t>(news.version));
    rw::WriteSettingString(app_.identity, rw::Setting::NewsUrl, news.url);
}

void CdlgMain::OnUpgradeNotice() {
    const std::optional<rw::UpgradeNoticeRequest> notice = app_.updates.TakeNotice();
    if (!notice || m_bUpgradeNoticeOpen) return;
    m_bUpgradeNoticeOpen = true;
    ShowUpgradeNotice(app_, *notice);
    m_bUpgradeNoticeOpen = false;
    if (notice->quitAfter) {
        Exit();  // a required upgrade or the end of support: the program ends, state saved
        return;
    }
    if (m_bNewsPopupWaiting) {
        m_bNewsPopupWaiting = false;
        RefreshNewsButton(true);
    }
}

void CdlgMain::OnCheckSkipped() {
    rw::LoadStoredUpdateState(app_.identity, app_.seams.calendar.Now(), app_.updates);
    ShowStoredUpdateState();
}

void CdlgMain::ShowStoredUpdateState() {
    if (app_.updates.Upgrade().version > rw::kRunningVersion) RefreshUpgradeButton();
    if (app_.updates.News().version != 0) RefreshNewsButton(false);
}

// A button that is hidden is disabled as well, so that its access key cannot reach it.
void CdlgMain::RefreshUpgradeButton() {
    const bool newer = app_.updates.Upgrade().version > rw::kRunningVersion;
    const rw::PolicyButtonState state =
        rw::ButtonStateForHideValue(rw::ReadSettingDword(app_.identity, rw::Setting::HideUpgrade));
    const bool visible = newer && state.visible;
    EnableItem(IDC_UPGRADE, visible && state.enabled);
    ShowItem(IDC_UPGRADE, visible);
}

void CdlgMain::RefreshNewsButton(bool popup) {
    const rw::UpdateRecord news = app_.updates.News();
    const bool has = news.version != 0;
    const rw::PolicyButtonState state =
        rw::ButtonStateForHideValue(rw::ReadSettingDword(app_.identity, rw::Setting::HideNews));
    const bool visible = has && state.visible;
    EnableItem(IDC_NEWS, visible && state.enabled);
    ShowItem(IDC_NEWS, visible);

    if (popup && rw::NewsPopsUp(app_.identity, news, app_.welcomeTime, app_.seams.calendar.Now())) ShowNewsWindow();
}

void CdlgMain::ShowNewsWindow() {
    if (m_bNewsWindowOpen) return;
    m_bNewsWindowOpen = true;
    const rw::UpdateRecord shown = app_.updates.News();
    COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    rw::GetAccentColors(back, text);
    CdlgWebBrowser window(back, text);
    window.m_strUrl = shown.url;
    window.m_openInBrowser = [this](const std::wstring& url) { app_.OpenWebAddress(url.c_str(), false); };
    const INT_PTR result = window.RunModal(hwnd());
    m_bNewsWindowOpen = false;
    if (result == IDOK) {
        rw::WriteSettingInt64(app_.identity, rw::Setting::NewsLast, static_cast<std::int64_t>(shown.version));
    }
}

void CdlgMain::OnUpgradeButton() {
    const std::wstring url = app_.updates.Upgrade().url;
    if (rw::IsWebAddress(url)) app_.OpenWebAddress(url.c_str(), true);
}

void CdlgMain::ShowAbout() {
    if (RaiseModalWindow()) return;  // from the tray or the pop-up while another one is open
    CdlgAbout about(app_);
    about.RunModal(hwnd());
}
