#include "ui/main/UpdateNotices.h"

#include <utility>

#include "core/PrivateMessages.h"
#include "core/VersionQuad.h"
#include "core/WebAddress.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "settings/StartupLogic.h"
#include "ui/about/AboutDlg.h"
#include "ui/news/NewsWindow.h"
#include "ui/notify/NotificationAlert.h"
#include "updates/NewsPopup.h"
#include "updates/UpgradeCheck.h"

namespace rw {

CUpdateNotices::CUpdateNotices(AppShared& app, std::function<void()> exit) : app_(app), exit_(std::move(exit)) {}

bool CUpdateNotices::OnMessage(UINT message) {
    switch (message) {
        case WMU_UPGRADE_INFO: OnUpgradeInfo(); return true;
        case WMU_NEWS_INFO: OnNewsInfo(); return true;
        case WMU_UPGRADE_NOTICE: OnUpgradeNotice(); return true;
        case WMU_CHECK_SKIPPED: OnCheckSkipped(); return true;
    }
    return false;
}

void CUpdateNotices::OnUpgradeInfo() {
    RefreshUpgradeButton();
    const UpdateRecord upgrade = app_.updates.Upgrade();
    WriteSettingInt64(app_.identity, Setting::UpgradeVersion, static_cast<std::int64_t>(upgrade.version));
    WriteSettingString(app_.identity, Setting::UpgradeUrl, upgrade.url);
    WriteSettingDword(app_.identity, Setting::UpgradeType, upgrade.type);
}

void CUpdateNotices::OnNewsInfo() {
    // While an upgrade notice is open the news pop-up waits for it to close.
    RefreshNewsButton(!upgradeNoticeOpen_);
    if (upgradeNoticeOpen_) newsPopupWaiting_ = true;
    const UpdateRecord news = app_.updates.News();
    WriteSettingInt64(app_.identity, Setting::NewsVersion, static_cast<std::int64_t>(news.version));
    WriteSettingString(app_.identity, Setting::NewsUrl, news.url);
}

void CUpdateNotices::OnUpgradeNotice() {
    const std::optional<UpgradeNoticeRequest> notice = app_.updates.TakeNotice();
    if (!notice || upgradeNoticeOpen_) return;
    upgradeNoticeOpen_ = true;
    ShowUpgradeNotice(app_, *notice);
    upgradeNoticeOpen_ = false;
    if (notice->quitAfter) {
        if (exit_) exit_();  // a required upgrade or the end of support: the program ends, state saved
        return;
    }
    if (newsPopupWaiting_) {
        newsPopupWaiting_ = false;
        RefreshNewsButton(true);
    }
}

void CUpdateNotices::OnCheckSkipped() {
    LoadStoredUpdateState(app_.identity, app_.seams.calendar.Now(), app_.updates);
    ShowStoredState();
}

void CUpdateNotices::ShowStoredState() {
    if (app_.updates.Upgrade().version > kRunningVersion) RefreshUpgradeButton();
    if (app_.updates.News().version != 0) RefreshNewsButton(false);
}

void CUpdateNotices::RefreshButtons() {
    RefreshUpgradeButton();
    RefreshNewsButton(false);
}

void CUpdateNotices::ShowButton(int id, bool visible, bool enabled) const {
    HWND button = GetDlgItem(window_, id);
    if (!button) return;
    EnableWindow(button, visible && enabled);
    ShowWindow(button, visible ? SW_SHOW : SW_HIDE);
}

void CUpdateNotices::RefreshUpgradeButton() {
    const bool newer = app_.updates.Upgrade().version > kRunningVersion;
    const PolicyButtonState state = ButtonStateForHideValue(ReadSettingDword(app_.identity, Setting::HideUpgrade));
    ShowButton(IDC_UPGRADE, newer && state.visible, state.enabled);
}

void CUpdateNotices::RefreshNewsButton(bool popup) {
    const UpdateRecord news = app_.updates.News();
    const PolicyButtonState state = ButtonStateForHideValue(ReadSettingDword(app_.identity, Setting::HideNews));
    ShowButton(IDC_NEWS, news.version != 0 && state.visible, state.enabled);

    if (popup && NewsPopsUp(app_.identity, news, app_.welcomeTime, app_.seams.calendar.Now())) ShowNewsWindow();
}

void CUpdateNotices::ShowNewsWindow() {
    if (newsWindowOpen_) return;
    newsWindowOpen_ = true;
    const UpdateRecord shown = app_.updates.News();
    COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    GetAccentColors(back, text);
    CdlgWebBrowser window(back, text);
    window.m_strUrl = shown.url;
    window.m_openInBrowser = [this](const std::wstring& url) { app_.OpenWebAddress(url.c_str(), false); };
    const INT_PTR result = window.RunModal(window_);
    newsWindowOpen_ = false;
    if (result == IDOK) WriteSettingInt64(app_.identity, Setting::NewsLast, static_cast<std::int64_t>(shown.version));
}

void CUpdateNotices::OnUpgradeButton() {
    const std::wstring url = app_.updates.Upgrade().url;
    if (IsWebAddress(url)) app_.OpenWebAddress(url.c_str(), true);
}

}  // namespace rw
