// The main window's side of the upgrade and news check: its two buttons, the news pop-up,
// storing what the worker found; and the About window.
#include "ui/main/DlgMain.h"

#include "app/AboutDlg.h"
#include "settings/SettingsCatalog.h"
#include "updates/NewsWindow.h"
#include "updates/UpgradeCheck.h"

namespace {

constexpr std::int64_t kNewsQuietPeriod = 604800;  // after the welcome wizard

}  // namespace

void CdlgMain::OnUpgradeInfo() {
    RefreshUpgradeButton();
    const rw::UpdateRecord& upgrade = app_.updates.upgradeInfo;
    rw::WriteSettingInt64(app_.identity, rw::Setting::UpgradeVersion, static_cast<std::int64_t>(upgrade.version));
    rw::WriteSettingString(app_.identity, rw::Setting::UpgradeUrl, upgrade.url);
    rw::WriteSettingDword(app_.identity, rw::Setting::UpgradeType, upgrade.type);
}

void CdlgMain::OnNewsInfo() {
    RefreshNewsButton(true);
    // A copy: the news window may have run meanwhile, and another check with it.
    const rw::UpdateRecord news = app_.updates.newsInfo;
    rw::WriteSettingInt64(app_.identity, rw::Setting::NewsVersion, static_cast<std::int64_t>(news.version));
    rw::WriteSettingString(app_.identity, rw::Setting::NewsUrl, news.url);
}

void CdlgMain::OnCheckSkipped() {
    rw::LoadStoredUpdateState(app_.identity, app_.seams.calendar.Now(), app_.updates);
    ShowStoredUpdateState();
}

void CdlgMain::ShowStoredUpdateState() {
    if (app_.updates.upgradeInfo.version > rw::kRunningVersion) RefreshUpgradeButton();
    if (app_.updates.newsInfo.version != 0) RefreshNewsButton(false);
}

void CdlgMain::RefreshUpgradeButton() {
    const bool newer = app_.updates.upgradeInfo.version > rw::kRunningVersion;
    const rw::PolicyButtonState state =
        rw::ButtonStateForHideValue(rw::ReadSettingDword(app_.identity, rw::Setting::HideUpgrade));
    EnableItem(IDC_UPGRADE, newer && state.enabled);
    ShowItem(IDC_UPGRADE, newer && state.visible);
}

void CdlgMain::RefreshNewsButton(bool popup) {
    const rw::UpdateRecord& news = app_.updates.newsInfo;
    const bool has = news.version != 0;
    const rw::PolicyButtonState state =
        rw::ButtonStateForHideValue(rw::ReadSettingDword(app_.identity, rw::Setting::HideNews));
    EnableItem(IDC_NEWS, has && state.enabled);
    ShowItem(IDC_NEWS, has && state.visible);

    const std::int64_t now = app_.seams.calendar.Now();
    if (!popup || now < app_.welcomeTime + kNewsQuietPeriod) return;
    if (rw::ReadSettingDword(app_.identity, rw::Setting::NewsPopup) != 1) return;
    std::int64_t stored = 0;
    const rw::VersionQuad last =
        rw::ReadSettingInt64(app_.identity, rw::Setting::NewsLast, stored)
            ? rw::SanitiseDateVersion(static_cast<rw::VersionQuad>(stored), now)
            : 0;
    if (news.version > last) ShowNewsWindow();
}

void CdlgMain::ShowNewsWindow() {
    if (m_bNewsWindowOpen) return;
    m_bNewsWindowOpen = true;
    const rw::UpdateRecord shown = app_.updates.newsInfo;
    COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    rw::GetAccentColors(back, text);
    CdlgWebBrowser window(back, text);
    window.m_strUrl = shown.url;
    const INT_PTR result = window.RunModal(hwnd());
    m_bNewsWindowOpen = false;
    if (result == IDOK) {
        rw::WriteSettingInt64(app_.identity, rw::Setting::NewsLast, static_cast<std::int64_t>(shown.version));
    }
}

void CdlgMain::OnUpgradeButton() {
    const std::wstring& url = app_.updates.upgradeInfo.url;
    if (rw::IsWebAddress(url)) app_.OpenWebAddress(url.c_str(), true);
}

void CdlgMain::ShowAbout() {
    if (RaiseModalWindow()) return;  // from the tray or the pop-up while another one is open
    CdlgAbout about(app_);
    about.RunModal(hwnd());
}
