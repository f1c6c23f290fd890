#include "ui/main/HealthTips.h"

#include <commctrl.h>
#include <commdlg.h>

#include "core/ResourceString.h"
#include "res/resource.h"
#include "settings/AppSettings.h"

namespace rw {

namespace {

// The standard tips in tab order: title, text, health hint.
struct Tip {
    UINT title;
    UINT text;
    std::uint32_t hint;
};
constexpr Tip kTips[] = {{IDS_TIP_TITLE_BREAKS, IDS_TIP_BREAKS, CHealthTips::kBreaksHint},
                         {IDS_TIP_TITLE_RSI, IDS_TIP_RSI, 201},
                         {IDS_TIP_TITLE_EYES, IDS_TIP_EYES, 200},
                         {IDS_TIP_TITLE_POSTURE, IDS_TIP_POSTURE, 202}};
constexpr int kTipCount = static_cast<int>(std::size(kTips));

}  // namespace

CHealthTips::CHealthTips(Links& links) : links_(links) {}

void CHealthTips::LoadBranding(const SettingsIdentity& identity) {
    const HealthBranding health = LoadHealthBranding(identity);
    brandTitle_.clear();
    for (wchar_t c : health.title) {
        brandTitle_ += c;
        if (c == L'&') brandTitle_ += L'&';  // the tab shows one ampersand
    }
    brandContents_ = health.title.empty() ? std::wstring() : health.contents;
    brandLink_ = health.title.empty() ? std::wstring() : health.link;
}

void CHealthTips::Bind(DataExchange& exchange) {
    exchange.Control(IDC_TIPS_TABS, tabs_);
    exchange.Control(IDC_TIP_TEXT, text_);
}

void CHealthTips::Init(HWND dialog) {
    linkText_ = ResourceText(IDS_LEARN_MORE);
    for (int i = 0; i < kTipCount; ++i) {
        std::wstring title = ResourceText(kTips[i].title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        TabCtrl_InsertItem(tabs_.hwnd(), i, &item);
    }
    PlaceText(dialog);
    UpdateTabs();
}

void CHealthTips::PlaceText(HWND dialog) {
    tabs_.SetPartner(text_.hwnd());
    RECT page{};
    GetClientRect(tabs_.hwnd(), &page);
    RECT tab{};
    TabCtrl_GetItemRect(tabs_.hwnd(), 0, &tab);
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int borderY = GetSystemMetrics(SM_CYBORDER);
    page.top += tab.bottom + borderY;
    page.left += border;
    page.right -= 2 * border + 1;
    page.bottom -= 2 * borderY + 1;
    MapWindowPoints(tabs_.hwnd(), dialog, reinterpret_cast<POINT*>(&page), 2);
    SetWindowPos(text_.hwnd(), nullptr, page.left, page.top, page.right - page.left, page.bottom - page.top,
                 SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);

    HWND edit = text_.hwnd();
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    format.left += 6;
    format.top += 6;
    format.right -= 6;
    SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(edit, EM_SETTEXTMODE, TM_RICHTEXT, 0);
    SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_LINK);
    SendMessageW(edit, EM_SETWORDBREAKPROC, 0, 0);  // the control's own word wrap
}

void CHealthTips::UpdateTabs() {
    HWND tabs = tabs_.hwnd();
    if (brandTab_) {
        if (!brandTitle_.empty()) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = brandTitle_.data();
            TabCtrl_SetItem(tabs, 0, &item);
        } else {
            TabCtrl_DeleteItem(tabs, 0);
            TabCtrl_SetCurSel(tabs, 0);
            brandTab_ = false;
        }
    }
    if (!brandTab_ && !brandTitle_.empty()) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = brandTitle_.data();
        TabCtrl_InsertItem(tabs, 0, &item);
        TabCtrl_SetCurSel(tabs, 0);
        brandTab_ = true;
    }
    ShowTip();
}

int CHealthTips::SelectedTip() const {
    return TabCtrl_GetCurSel(tabs_.hwnd()) - (brandTab_ ? 1 : 0);
}

void CHealthTips::ShowTip() {
    const int k = SelectedTip();
    std::wstring text;
    bool withLink = true;
    if (k >= 0 && k < kTipCount) {
        text = ResourceText(kTips[k].text);
    } else if (k == -1) {
        text = brandContents_;
        withLink = !brandLink_.empty();
    }
    if (withLink) text += L"\r\n\r\n" + linkText_;

    text_.m_strStreamText = text;
    text_.StreamTextIntoControl();
    text_.SetKeyboardLink({0, 0});
    if (withLink && !linkText_.empty()) {
        HWND edit = text_.hwnd();
        FINDTEXTEXW find{};
        find.chrg = {0, -1};
        find.lpstrText = linkText_.c_str();
        const LRESULT at = SendMessageW(edit, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find));
        if (at >= 0) {
            SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
            text_.ToggleLinkEffect();
            text_.SetKeyboardLink(find.chrgText);
            CHARRANGE start{0, 0};
            SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
        }
    }
    SetFocus(tabs_.hwnd());
}

bool CHealthTips::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_TIPS_TABS && header.code == TCN_SELCHANGE) {
        ShowTip();
        return true;
    }
    if (header.idFrom == IDC_TIP_TEXT && header.code == EN_LINK) {
        OnLink(reinterpret_cast<const ENLINK&>(header));
        return true;
    }
    return false;
}

void CHealthTips::OnLink(const ENLINK& link) {
    const bool enter = link.msg == WM_KEYDOWN && link.wParam == VK_RETURN;
    if (link.msg != WM_LBUTTONDOWN && !enter) return;
    const int k = SelectedTip();
    if (k >= 0 && k < kTipCount) {
        links_.OpenHealthHint(kTips[k].hint);
    } else if (k == -1 && !brandLink_.empty()) {
        links_.OpenWebAddress(brandLink_.c_str(), false);
    }
}

}  // namespace rw
