// What the break engine shows in the main window: the status icon, the bound texts, the
// rating bar, and the tick timer this window receives.
#include "ui/main/Main.h"

#include "framework/Dpi.h"

namespace rw {

void CdlgMain::SetStatusIcon(int iconId) {
    statusIconId_ = iconId;
    HICON icon = tray_.IconById(iconId);
    rw::IconOwner replaced;
    if (icon && dpi_ != rw::SystemDpi()) {
        const int scaled = rw::ScaleToDpi(16, dpi_);
        const int size = scaled <= 16 ? 16 : scaled <= 24 ? 24 : 32;
        if (!statusIcon_ || statusIconLoaded_ != std::pair{iconId, size}) {
            rw::IconOwner loaded(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                                               IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
            replaced = std::move(statusIcon_);  // destroyed once the control shows the new one
            statusIcon_ = std::move(loaded);
            statusIconLoaded_ = {iconId, size};
        }
        if (statusIcon_) icon = statusIcon_.get();
    }
    if (reinterpret_cast<HICON>(SendDlgItemMessageW(hwnd(), IDC_STATUS_ICON, STM_GETICON, 0, 0)) == icon) return;
    SendDlgItemMessageW(hwnd(), IDC_STATUS_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void CdlgMain::UpdateControlsFromData() {
    const std::optional<rw::BreakChoice> described = describedChoice_;
    TakeEngineTexts();
    // The bar is drawn by its owner; its text is what a screen reader reads of it.
    std::wstring name = m_strRatingTitle;
    if (m_engine.Choice().enabled) {
        name += L" " + std::to_wstring(static_cast<int>(m_engine.Rating().m_fScore)) + L" %";
    }
    // Every tick comes here. Reading a control's text to compare costs calls into the window
    // system even when nothing changed, so the texts last written are compared here instead.
    std::wstring texts =
        m_strDescription + L'\n' + m_strRatingTitle + L'\n' + m_strPlanned + L'\n' + m_strStatus + L'\n' + name;
    if (texts == shownTexts_) return;
    UpdateData(rw::Direction::ToControls);
    // The bar is subclassed: every message to it costs more than a comparison here.
    if (name != shownBarName_) rw::SetTextIfChanged(m_staticRatingBar.hwnd(), name);
    shownBarName_ = std::move(name);
    shownTexts_ = std::move(texts);
    // Switching reminders on or off changes the bar's picture.
    if (described && described->enabled != m_engine.Choice().enabled) RepaintRatingBar();
}

void CdlgMain::RepaintRatingBar() {
    RedrawWindow(m_staticRatingBar.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CdlgMain::IsMainWindowVisible() {
    return IsWindowVisible(hwnd()) != FALSE;
}

void CdlgMain::ArmTickTimer(std::uint32_t periodMs) {
    SetTimer(hwnd(), rw::CBreakEngine::kTickTimerId, periodMs, nullptr);
}

void CdlgMain::KillTickTimer() {
    KillTimer(hwnd(), rw::CBreakEngine::kTickTimerId);
}

}  // namespace rw
