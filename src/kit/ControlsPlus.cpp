#include "kit/ControlsPlus.h"

#include <windowsx.h>

#include "kit/KitText.h"

namespace nsHalden {

// CStaticPlus ---------------------------------------------------------------------------

void CStaticPlus::OnSubclassed() {
    GetClientRect(hwnd(), &client_);
}

void CStaticPlus::SetTooltipText(const std::wstring& text) {
    tooltip_ = nsHalden::TooltipText(text);
}

bool CStaticPlus::EnableToolTips() {
    if (!hwnd()) return false;
    if (!tooltipWindow_) {
        tooltipWindow_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                             nullptr, nullptr, nullptr));
        if (!tooltipWindow_) return false;
    }
    // One tool, id 1, over the whole stored rectangle; the tooltip watches the mouse itself.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = 1;
    tool.rect = client_;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return SendMessageW(tooltipWindow_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

rw::MessageResult CStaticPlus::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.code == TTN_NEEDTEXTW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        // SetTooltipText keeps the text within the buffer's 79 characters and terminator.
        info->szText[tooltip_.copy(info->szText, tooltip_.size())] = 0;
        info->lpszText = info->szText;
        return 0;
    }
    if (header.code == TTN_NEEDTEXTA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        const int n = WideCharToMultiByte(CP_THREAD_ACP, 0, tooltip_.c_str(), -1, info->szText,
                                          static_cast<int>(sizeof info->szText), nullptr, nullptr);
        if (n == 0) info->szText[sizeof info->szText - 1] = 0;  // cut where the buffer ends
        info->lpszText = info->szText;
        return 0;
    }
    return rw::kNotHandled;
}

void CStaticPlus::OnNcDestroy() {
    // The tooltip is owned by the dialog too (a pop-up's owner is the top-level window), and
    // a dialog destroys its owned windows before its children: then the handle is dead and
    // only let go of; a control destroyed on its own takes its tooltip with it.
    if (IsWindow(tooltipWindow_.get())) {
        tooltipWindow_.reset();
    } else {
        tooltipWindow_.release();
    }
}

rw::MessageResult CStaticPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCDESTROY: OnNcDestroy(); break;
        case WM_NCHITTEST: return HTCLIENT;  // mouse messages without the notify style
        case WM_SETCURSOR:
            if (cursor_) {
                ::SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_NOTIFY:
            if (const rw::MessageResult r = OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam)) return r;
            break;
    }
    return Window::Route(message, wParam, lParam);
}

// CTabCtrlPlus --------------------------------------------------------------------------

void CTabCtrlPlus::RedrawPartner() const {
    // Once, at once, frame included: the tab has just painted over the partner's area.
    if (partner_) RedrawWindow(partner_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

rw::MessageResult CTabCtrlPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            RedrawPartner();
            return result;
        }
    }
    return Window::Route(message, wParam, lParam);
}

// CRichEditCtrlPlus ---------------------------------------------------------------------

DWORD CALLBACK CRichEditCtrlPlus::StreamTextIn(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
    auto* control = reinterpret_cast<CRichEditCtrlPlus*>(cookie);
    *done = TakeStreamPiece(control->m_strStreamText, buffer, bytes);
    return 0;
}

void CRichEditCtrlPlus::StreamTextIntoControl() {
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream.pfnCallback = StreamTextIn;
    Send(EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
}

void CRichEditCtrlPlus::ToggleLinkEffect() {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_LINK | CFM_PROTECTED;
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    // A uniform attribute stays in the mask: flip both; when neither is uniform, set both.
    if (format.dwMask & (CFM_LINK | CFM_PROTECTED)) {
        format.dwEffects ^= CFE_LINK | CFE_PROTECTED;
    } else {
        format.dwEffects |= CFE_LINK | CFE_PROTECTED;
    }
    format.dwMask = CFM_LINK | CFM_PROTECTED;
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void CRichEditCtrlPlus::SelectKeyboardLink() {
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keyboardLink_));
    Send(EM_SCROLLCARET);
}

void CRichEditCtrlPlus::ReportKeyboardLink() {
    ENLINK link{};
    link.nmhdr.hwndFrom = hwnd();
    link.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd()));
    link.nmhdr.code = EN_LINK;
    link.msg = WM_KEYDOWN;
    link.wParam = VK_RETURN;
    link.chrg = keyboardLink_;
    SendMessageW(GetParent(hwnd()), WM_NOTIFY, link.nmhdr.idFrom, reinterpret_cast<LPARAM>(&link));
}

rw::MessageResult CRichEditCtrlPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            if (HasKeyboardLink()) SelectKeyboardLink();
            return result;
        }
        case WM_GETDLGCODE: {
            // Enter belongs to the link rather than to the dialog's default button.
            LRESULT code = DefaultProcessing(message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (HasKeyboardLink() && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && HasKeyboardLink()) {
                ReportKeyboardLink();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' && HasKeyboardLink()) return 0;
            break;
    }
    return Window::Route(message, wParam, lParam);
}

// CMFCMenuButtonPlus --------------------------------------------------------------------

CMFCMenuButtonPlus::CMFCMenuButtonPlus() {
    BOOL cues = TRUE;
    if (SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0)) cuesShown_ = cues != FALSE;
}

void CMFCMenuButtonPlus::OnSubclassed() {
    SetCaption(Text());
}

bool CMFCMenuButtonPlus::LoadDropDownMenu(HINSTANCE instance, UINT menuId) {
    menu_.reset(::LoadMenuW(instance, MAKEINTRESOURCEW(menuId)));
    return DropDown() != nullptr;
}

void CMFCMenuButtonPlus::SetCaption(const std::wstring& caption) {
    full_ = caption;
    plain_ = nsHalden::PlainCaption(caption);
    if (hwnd()) SetWindowTextW(hwnd(), (cuesShown_ ? full_ : plain_).c_str());
}

bool CMFCMenuButtonPlus::IsOnArrowPart(LPARAM point) const {
    RECT rect{};
    GetClientRect(hwnd(), &rect);
    return GET_X_LPARAM(point) >= rect.right - kArrowPartWidth;
}

void CMFCMenuButtonPlus::ShowMenu() {
    HMENU dropDown = DropDown();
    if (!dropDown || inMenu_) return;
    inMenu_ = true;
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    if (stayPressed_) Send(BM_SETSTATE, TRUE);
    const POINT at = rightArrow_ ? POINT{rect.right, rect.top} : POINT{rect.left, rect.bottom};
    const auto chosen = static_cast<UINT>(TrackPopupMenu(
        dropDown, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd(), nullptr));
    if (stayPressed_) Send(BM_SETSTATE, FALSE);
    inMenu_ = false;
    // A menu dismissed without a choice reports nothing.
    if (chosen == 0) return;
    // The owner learns of the choice as a click of the button and reads it meanwhile; after
    // that, a click from elsewhere (Enter in the dialog) is one without an item.
    menuResult_ = chosen;
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd()));
    menuResult_ = 0;
}

void CMFCMenuButtonPlus::PaintArrow() {
    rw::WindowDC dc(hwnd());
    RECT rect{};
    GetClientRect(hwnd(), &rect);
    const int cx = rect.right - 10;
    const int cy = (rect.top + rect.bottom) / 2;
    const POINT down[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
    const POINT right[3] = {{cx - 1, cy - 4}, {cx - 1, cy + 3}, {cx + 3, cy}};
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    rw::BrushOwner brush(CreateSolidBrush(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT)));
    rw::SelectionGuard selectBrush(dc.dc(), brush.get());
    rw::SelectionGuard selectPen(dc.dc(), GetStockObject(NULL_PEN));
    Polygon(dc.dc(), rightArrow_ ? right : down, 3);
}

rw::MessageResult CMFCMenuButtonPlus::OnLButtonDown(LPARAM point) {
    menuResult_ = 0;
    // The face of a default-click button is a plain button: pressed now, clicked on release.
    if (defaultClick_ && !IsOnArrowPart(point)) return rw::kNotHandled;
    SetFocus(hwnd());
    ShowMenu();
    return 0;
}

rw::MessageResult CMFCMenuButtonPlus::OnKeyDown(WPARAM key) {
    menuResult_ = 0;
    const bool face = key == VK_SPACE || key == VK_RETURN;
    if (key != VK_DOWN && !face) return rw::kNotHandled;
    if (face && defaultClick_) return rw::kNotHandled;  // clicks on key release
    ShowMenu();
    return 0;
}

rw::MessageResult CMFCMenuButtonPlus::OnUpdateUiState(WPARAM wParam) {
    if (HIWORD(wParam) & UISF_HIDEACCEL) {
        if (LOWORD(wParam) == UIS_SET) {
            cuesShown_ = false;
            SetWindowTextW(hwnd(), plain_.c_str());
        } else if (LOWORD(wParam) == UIS_CLEAR) {
            cuesShown_ = true;
            SetWindowTextW(hwnd(), full_.c_str());
        }
    }
    return 0;  // not passed on
}

rw::MessageResult CMFCMenuButtonPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_UPDATEUISTATE: return OnUpdateUiState(wParam);
        // A quick second click is another click, not the button's own double-click press.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return OnLButtonDown(lParam);
        case BM_CLICK:
            menuResult_ = 0;
            // With default click the button clicks its face (through WM_LBUTTONDOWN at 0,0).
            if (defaultClick_) break;
            ShowMenu();
            return 0;
        case WM_KEYDOWN: return OnKeyDown(wParam);
        case WM_PAINT: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            PaintArrow();
            return result;
        }
    }
    return Window::Route(message, wParam, lParam);
}

}  // namespace nsHalden
