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
    // Every change of the minutes comes here with the same picture: the one set last is
    // remembered rather than asked of the control.
    if (shownStatusIcon_ && *shownStatusIcon_ == icon) return;
    SendDlgItemMessageW(hwnd(), IDC_STATUS_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    shownStatusIcon_ = icon;
}

void CdlgMain::UpdateControlsFromData() {
    const std::optional<rw::BreakChoice> described = describedChoice_;
    TakeEngineTexts();
    // The bar is drawn by its owner; its text is what a screen reader reads of it.
    std::wstring name = m_strRatingTitle;
    if (m_engine.Choice().enabled) {
        name += L" " + std::to_wstring(static_cast<int>(m_engine.Rating().m_fScore)) + L" %";
    }
    // Every tick comes here. Reading a control's text to compare, or looking a control up,
    // costs calls into the window system even when nothing changed, so the texts last written
    // are compared here and each changed one goes to its control's handle, kept from the first.
    const std::pair<int, const std::wstring*> bound[] = {{IDC_DESCRIPTION, &m_strDescription},
                                                         {IDC_RATING_TITLE, &m_strRatingTitle},
                                                         {IDC_PLANNED_TEXT, &m_strPlanned},
                                                         {IDC_STATUS_TEXT, &m_strStatus}};
    static_assert(std::size(bound) == kShownTexts);
    for (std::size_t i = 0; i < std::size(bound); ++i) {
        ShownText& shown = shownTexts_[i];
        if (shown.text && *shown.text == *bound[i].second) continue;
        if (!shown.control) shown.control = Item(bound[i].first);
        rw::SetTextIfChanged(shown.control, *bound[i].second);
        shown.text = *bound[i].second;
    }
    // The bar is subclassed: every message to it costs more than a comparison here.
    if (name != shownBarName_) rw::SetTextIfChanged(m_staticRatingBar.hwnd(), name);
    shownBarName_ = std::move(name);
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
