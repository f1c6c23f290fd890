// The fading pop-up: a modeless, topmost tool window in the bottom-right corner of the work
// area that never takes the focus when it appears, fades in from opacity 50 by 15 every
// 50 ms, stays its display time and then as long as the pointer rests on it or it has the
// focus (checked every 500 ms), and can be dragged by its surface. Its commands are posted,
// never sent, to the application's main window. It stays inside the primary monitor's work
// area when that changes (the taskbar appears or moves, the display or its DPI changes), and
// once hidden it keeps no timer.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Dialog.h"

namespace rw {

class CdlgNotificationAlertBase : public rw::Dialog {
public:
    static constexpr UINT_PTR kTimerFade = 1;
    static constexpr UINT_PTR kTimerDisplay = 3;
    static constexpr UINT kFadeStepMs = 50;
    static constexpr UINT kHoverCheckMs = 500;
    static constexpr BYTE kFadeStartAlpha = 50;

    explicit CdlgNotificationAlertBase(UINT templateId);

    // Shows the pop-up with the fields as they are, or refreshes it when it is up.
    void ShowAlert();

    virtual void SetMessageTexts(const std::wstring& message, const std::wstring& message2) = 0;
    virtual void SetMessageIcon(HICON icon, int iconType) = 0;
    virtual void RefreshContent() {}
    virtual void OnEcoModeChanged() {}

    // Where the commands go: the application's main window unless the owner names another.
    void SetCommandTarget(HWND target) { commandTarget_ = target; }
    bool PostCommand(UINT command) const;

    UINT m_nIDD;
    int m_nPosX = 0;
    int m_nPosY = 0;
    std::wstring m_strTitle;
    std::wstring m_strMessage;
    std::wstring m_strMessage2;
    HICON m_hIcon = nullptr;
    int m_nIconType = 0;
    BYTE m_byAlpha = 255;
    std::uint32_t m_nDisplayMs = 15000;
    bool m_bNoFade = false;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int dpi) override;

private:
    void OnTimer(UINT_PTR id);
    // m_nPosX, m_nPosY: the bottom-right corner of the primary monitor's work area.
    void ComputeCornerPosition();
    // Moved to the corner again when it is up; a hidden pop-up is placed at its next show.
    void PlaceAgainIfShown();
    void KillTimers();
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    bool PointerOrFocusOnPopup() const;

    HWND commandTarget_ = nullptr;
};

// The display has more than 8 bits per pixel: the pop-up is layered and fades.
bool DisplayFades();

}  // namespace rw
