#include "ui/notify/NotificationAlertBase.h"

#include <dwmapi.h>

#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "ui/notify/NotifyRules.h"

namespace rw {

bool DisplayFades() {
    rw::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.dc(), BITSPIXEL) > 8;
}

CdlgNotificationAlertBase::CdlgNotificationAlertBase(UINT templateId) : Dialog(templateId), m_nIDD(templateId) {}

bool CdlgNotificationAlertBase::PostCommand(UINT command) const {
    HWND target = commandTarget_;
    if (!target) {
        const rw::Application* app = rw::Application::Current();
        const rw::Window* main = app ? app->MainWindow() : nullptr;
        target = main ? main->hwnd() : nullptr;
    }
    return target && PostMessageW(target, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CdlgNotificationAlertBase::ShowAlert() {
    if (hwnd()) {
        KillTimers();
    } else {
        // The pop-up never takes the focus when it first appears.
        HWND focus = GetFocus();
        HWND foreground = GetForegroundWindow();
        Create(nullptr);
        if (foreground && IsWindow(foreground)) SetForegroundWindow(foreground);
        if (focus && IsWindow(focus)) SetFocus(focus);
    }
    if (!hwnd()) return;

    const bool fades = DisplayFades();
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_TOPMOST;
    if (fades) exStyle |= WS_EX_LAYERED;
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle);

    SetText(m_strTitle);
    SetMessageTexts(m_strMessage, m_strMessage2);
    if (m_hIcon) {
        Send(WM_SETICON, static_cast<WPARAM>(m_nIconType), reinterpret_cast<LPARAM>(m_hIcon));
        SetMessageIcon(m_hIcon, m_nIconType);
    }

    ComputeCornerPosition();

    if (m_bNoFade) {
        m_byAlpha = 255;
    } else if (!IsWindowVisible(hwnd())) {
        m_byAlpha = kFadeStartAlpha;  // a visible pop-up keeps its opacity
    }
    if (fades) {
        SetLayeredWindowAttributes(hwnd(), 0, m_byAlpha, LWA_ALPHA);
        if (m_byAlpha != 255) SetTimer(hwnd(), kTimerFade, kFadeStepMs, nullptr);
    }
    if (m_nDisplayMs != 0) SetTimer(hwnd(), kTimerDisplay, m_nDisplayMs, nullptr);

    SetWindowPos(hwnd(), nullptr, m_nPosX, m_nPosY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RefreshContent();
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CdlgNotificationAlertBase::ComputeCornerPosition() {
    RECT window{};
    GetWindowRect(hwnd(), &window);
    const RECT work = rw::PrimaryWorkArea();
    const rw::ScreenPoint corner = rw::CornerPosition(work.left, work.top, work.right, work.bottom,
                                                      window.right - window.left, window.bottom - window.top);
    m_nPosX = corner.x;
    m_nPosY = corner.y;
    BOOL composition = FALSE;
    const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    OSVERSIONINFOW os{};
    os.dwOSVersionInfoSize = sizeof os;
    GetVersionExW(&os);
    if (os.dwMajorVersion >= 6 && SUCCEEDED(DwmIsCompositionEnabled(&composition)) && composition &&
        (style & WS_CAPTION) == WS_CAPTION) {
        m_nPosX -= 2 * GetSystemMetrics(SM_CXDLGFRAME);
    }
}

void CdlgNotificationAlertBase::PlaceAgainIfShown() {
    if (!hwnd() || !IsWindowVisible(hwnd())) return;
    ComputeCornerPosition();
    SetWindowPos(hwnd(), nullptr, m_nPosX, m_nPosY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CdlgNotificationAlertBase::OnDpiChanged(int /*dpi*/) {
    PlaceAgainIfShown();
}

void CdlgNotificationAlertBase::KillTimers() {
    KillTimer(hwnd(), kTimerFade);
    KillTimer(hwnd(), kTimerDisplay);
}

bool CdlgNotificationAlertBase::PointerOrFocusOnPopup() const {
    HWND focus = GetFocus();
    if (focus && (focus == hwnd() || IsChild(hwnd(), focus))) return true;
    POINT cursor{};
    RECT window{};
    return GetCursorPos(&cursor) && GetWindowRect(hwnd(), &window) && PtInRect(&window, cursor);
}

void CdlgNotificationAlertBase::OnTimer(UINT_PTR id) {
    if (id == kTimerFade) {
        if (m_byAlpha < 255 && DisplayFades()) {
            m_byAlpha = rw::NextFadeAlpha(m_byAlpha);
            SetLayeredWindowAttributes(hwnd(), 0, m_byAlpha, LWA_ALPHA);
        }
        if (m_byAlpha == 255) KillTimer(hwnd(), kTimerFade);
    } else if (id == kTimerDisplay) {
        if (PointerOrFocusOnPopup()) {
            SetTimer(hwnd(), kTimerDisplay, kHoverCheckMs, nullptr);
        } else {
            KillTimer(hwnd(), kTimerDisplay);
            Send(WM_CLOSE);
        }
    }
}

LRESULT CdlgNotificationAlertBase::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
    // Dragged by any part of its surface that is not a control.
    const LRESULT hit = DefaultProcessing(WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

rw::MessageResult CdlgNotificationAlertBase::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: OnTimer(wParam); return DefaultProcessing(message, wParam, lParam);
        case WM_NCHITTEST: return OnNcHitTest(wParam, lParam);
        case WM_WINDOWPOSCHANGED:
            // Hidden (closed, ended or its close button): nothing left to fade or to watch.
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) KillTimers();
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) PlaceAgainIfShown();
            break;
        case WM_DISPLAYCHANGE: PlaceAgainIfShown(); break;
    }
    return Dialog::Route(message, wParam, lParam);
}

}  // namespace rw
