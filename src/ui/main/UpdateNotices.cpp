#include "ui/main/UpdateNotices.h"

#include <utility>

#include "core/PrivateMessages.h"
#include "core/VersionQuad.h"
#include "core/WebAddress.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "settings/StartupLogic.h"
#include "ui/about/About.h"
#include "ui/news/WebBrowser.h"
#include "ui/notify/NotificationAlert.h"
#include "updates/NewsPopup.h"
#include "updates/UpgradeCheck.h"

namespace rw {

CUpdateNotices::CUpdateNotices(const WindowServices& services, SharedUpdateRecords& updates,
                               const std::int64_t& welcomeTime, std::function<void()> exit)
    : services_(services), updates_(updates), welcomeTime_(welcomeTime), exit_(std::move(exit)) {}

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
    const UpdateRecord upgrade = updates_.Upgrade();
    WriteSettingInt64(services_.identity, Setting::UpgradeVersion, static_cast<std::int64_t>(upgrade.version));
    WriteSettingString(services_.identity, Setting::UpgradeUrl, upgrade.url);
    WriteSettingDword(services_.identity, Setting::UpgradeType, upgrade.type);
}

void CUpdateNotices::OnNewsInfo() {
    // While an upgrade notice is open the news pop-up waits for it to close.
    RefreshNewsButton(!upgradeNoticeOpen_);
    if (upgradeNoticeOpen_) newsPopupWaiting_ = true;
    const UpdateRecord news = updates_.News();
    WriteSettingInt64(services_.identity, Setting::NewsVersion, static_cast<std::int64_t>(news.version));
    WriteSettingString(services_.identity, Setting::NewsUrl, news.url);
}

void CUpdateNotices::OnUpgradeNotice() {
    const std::optional<UpgradeNoticeRequest> notice = updates_.TakeNotice();
    if (!notice || upgradeNoticeOpen_) return;
    upgradeNoticeOpen_ = true;
    ShowUpgradeNotice(services_, titleFont_, *notice);
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
    LoadStoredUpdateState(services_.identity, services_.seams.calendar.Now(), updates_);
    ShowStoredState();
}

void CUpdateNotices::ShowStoredState() {
    if (updates_.Upgrade().version > kRunningVersion) RefreshUpgradeButton();
    if (updates_.News().version != 0) RefreshNewsButton(false);
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
    const bool newer = updates_.Upgrade().version > kRunningVersion;
    const PolicyButtonState state = ButtonStateForHideValue(ReadSettingDword(services_.identity, Setting::HideUpgrade));
    ShowButton(IDC_UPGRADE, newer && state.visible, state.enabled);
}

void CUpdateNotices::RefreshNewsButton(bool popup) {
    const UpdateRecord news = updates_.News();
    const PolicyButtonState state = ButtonStateForHideValue(ReadSettingDword(services_.identity, Setting::HideNews));
    ShowButton(IDC_NEWS, news.version != 0 && state.visible, state.enabled);

    if (popup && NewsPopsUp(services_.identity, news, welcomeTime_, services_.seams.calendar.Now())) ShowNewsWindow();
}

void CUpdateNotices::ShowNewsWindow() {
    if (newsWindowOpen_) return;
    newsWindowOpen_ = true;
    const UpdateRecord shown = updates_.News();
    COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    GetAccentColors(back, text);
    CdlgWebBrowser window(back, text);
    window.m_strUrl = shown.url;
    window.m_openInBrowser = [this](const std::wstring& url) { services_.links.OpenWebAddress(url.c_str(), false); };
    const INT_PTR result = window.RunModal(window_);
    newsWindowOpen_ = false;
    if (result == IDOK)
        WriteSettingInt64(services_.identity, Setting::NewsLast, static_cast<std::int64_t>(shown.version));
}

void CUpdateNotices::OnUpgradeButton() {
    const std::wstring url = updates_.Upgrade().url;
    if (IsWebAddress(url)) services_.links.OpenWebAddress(url.c_str(), true);
}

}  // namespace rw
