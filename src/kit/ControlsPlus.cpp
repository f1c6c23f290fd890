#include "kit/ControlsPlus.h"

#include "kit/KitText.h"

namespace nsHalden {

// CStaticPlus ---------------------------------------------------------------------------

bool CStaticPlus::Subclass(HWND hwnd) {
    if (hwnd) GetClientRect(hwnd, &client_);
    return Window::Subclass(hwnd);
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

rw::MessageResult CStaticPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    if (!partner_) return;
    InvalidateRect(partner_, nullptr, TRUE);
    UpdateWindow(partner_);
    RedrawWindow(partner_, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

rw::MessageResult CTabCtrlPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            RedrawPartner();
            return result;
        }
        case WM_NCPAINT: RedrawPartner(); return 0;
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

// CMFCMenuButtonPlus --------------------------------------------------------------------

CMFCMenuButtonPlus::CMFCMenuButtonPlus() {
    BOOL cues = TRUE;
    if (SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0)) cuesShown_ = cues ? 1 : 0;
}

bool CMFCMenuButtonPlus::Subclass(HWND hwnd) {
    if (!Window::Subclass(hwnd)) return false;
    SetCaption(Text());
    return true;
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

void CMFCMenuButtonPlus::ShowMenu() {
    HMENU dropDown = DropDown();
    if (!dropDown || inMenu_) return;
    inMenu_ = true;
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    Send(BM_SETSTATE, TRUE);
    menuResult_ =
        static_cast<UINT>(TrackPopupMenu(dropDown, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                                         rect.left, rect.bottom, 0, hwnd(), nullptr));
    Send(BM_SETSTATE, FALSE);
    inMenu_ = false;
    // The owner learns of the choice as a click of the button.
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd()));
}

void CMFCMenuButtonPlus::PaintArrow() {
    rw::WindowDC dc(hwnd());
    RECT rect{};
    GetClientRect(hwnd(), &rect);
    const int cx = rect.right - 10;
    const int cy = (rect.top + rect.bottom) / 2;
    const POINT arrow[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    rw::BrushOwner brush(CreateSolidBrush(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT)));
    rw::SelectionGuard selectBrush(dc.dc(), brush.get());
    rw::SelectionGuard selectPen(dc.dc(), GetStockObject(NULL_PEN));
    Polygon(dc.dc(), arrow, 3);
}

rw::MessageResult CMFCMenuButtonPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_UPDATEUISTATE:
            if (HIWORD(wParam) & UISF_HIDEACCEL) {
                if (LOWORD(wParam) == UIS_SET) {
                    cuesShown_ = 0;
                    SetWindowTextW(hwnd(), plain_.c_str());
                } else if (LOWORD(wParam) == UIS_CLEAR) {
                    cuesShown_ = 1;
                    SetWindowTextW(hwnd(), full_.c_str());
                }
            }
            return 0;  // not passed on
        case WM_LBUTTONDOWN:
        case BM_CLICK: ShowMenu(); return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE || wParam == VK_RETURN || wParam == VK_DOWN) {
                ShowMenu();
                return 0;
            }
            break;
        case WM_PAINT: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            PaintArrow();
            return result;
        }
    }
    return Window::Route(message, wParam, lParam);
}

}  // namespace nsHalden
