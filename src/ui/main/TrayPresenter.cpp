#include "ui/main/TrayPresenter.h"

#include <utility>

#include "core/PrivateMessages.h"

namespace rw {

CTrayPresenter::CTrayPresenter(const WindowServices& services, EventScheduler& events, std::function<void()> showMain)
    : services_(services), showMain_(std::move(showMain)), alert_(services), icon_(services, *this, events, &alert_) {
    alert_.m_pMain = this;
    breakMenu_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY_BREAK)));
}

void CTrayPresenter::Attach(HWND window, CBreakEngine& engine) {
    window_ = window;
    engine_ = &engine;
    alert_.SetCommandTarget(window);
    // At the notification area's size (24 pixels where small icons are larger).
    const int small = GetSystemMetrics(SM_CXSMICON);
    const int size = small > 16 ? 24 : small;
    for (StateIconEntry& entry : stateIcons_) {
        entry.icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.id),
                                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    }
}

void CTrayPresenter::Close() {
    icon_.HideNotification();
    alert_.Destroy();
    icon_.Delete();
}

bool CTrayPresenter::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message cannot be a case label.
    if (message == CNotificationIcon::TaskbarCreatedMessage()) {
        icon_.OnTaskbarCreated();
        return true;
    }
    switch (message) {
        case WMU_TRAY_CALLBACK: icon_.OnTrayCallback(wParam, lParam); return true;
        case WMU_TRAY_ICON: icon_.OnTrayIconMessage(wParam); return true;
    }
    return false;
}

HICON CTrayPresenter::IconById(int iconId) {
    for (const StateIconEntry& entry : stateIcons_) {
        if (entry.id == iconId) return entry.icon.get();
    }
    return nullptr;
}

void CTrayPresenter::SetIconAndTip(int iconId, const std::wstring& tip) {
    icon_.SetIconAndTip(&tip, IconById(iconId));
}

void CTrayPresenter::ShowNotification(const std::wstring& extra, const std::wstring& text, int iconId,
                                      std::uint32_t timeoutMs) {
    icon_.ShowNotification(extra.empty() ? nullptr : &extra, text, IconById(iconId), timeoutMs);
}

void CTrayPresenter::HideNotification() {
    icon_.HideNotification();
}

void CTrayPresenter::SetAlertBreakDue(bool breakDue) {
    alert_.m_bBreakDue = breakDue;
}

void CTrayPresenter::SetAlertPlannedMinutes(int minutes) {
    alert_.m_nPlannedMinutes = minutes;
}

void CTrayPresenter::EnableSuspendUntilPlanned(bool enable) {
    if (breakMenu_) {
        EnableMenuItem(breakMenu_.get(), ID_SUSPEND_UNTIL_PLANNED, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

const std::wstring& CTrayPresenter::DisplayName() {
    return services_.productName;
}

void CTrayPresenter::TickDone() {
    icon_.OnEngineTickDone();
}

HWND CTrayPresenter::IconOwnerWindow() {
    return window_;
}

HMENU CTrayPresenter::TrayBreakMenu() {
    return breakMenu_.get();
}

void CTrayPresenter::RunEngineTick(bool quiet) {
    if (!engine_) return;
    if (quiet) {
        engine_->OnIconClicked();
    } else {
        engine_->OnPointerOverIcon();
    }
}

void CTrayPresenter::ShowMainWindow() {
    if (showMain_) showMain_();
}

bool CTrayPresenter::RemindersEnabled() const {
    return engine_ && engine_->Choice().enabled;
}

void CTrayPresenter::IconAdded() {
    if (engine_) engine_->ShowStateAgain();
}

float CTrayPresenter::Rating() const {
    return engine_ ? engine_->Rating().m_fScore : 0.0f;
}

bool CTrayPresenter::RatingRising() const {
    return engine_ && engine_->Rating().m_bScoreRising;
}

}  // namespace rw
