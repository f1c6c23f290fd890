#include "ui/news/WebBrowser.h"

#include "res/resource.h"
#include "updates/UpdateFile.h"

namespace rw {

CdlgWebBrowser::CdlgWebBrowser(COLORREF background, COLORREF text, rw::BrowserOperations* browser)
    : Dialog(IDD_NEWS), m_clrBack(background), m_clrText(text), testBrowser_(browser) {}

rw::InitFocus CdlgWebBrowser::OnInitDialog() {
    Dialog::OnInitDialog();
    if (!testBrowser_) {
        // The control takes the place the template keeps for it.
        HWND place = Item(IDC_NEWS_BROWSER);
        RECT rect{};
        GetWindowRect(place, &rect);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        DestroyWindow(place);
        m_browser.SetNavigationRule([this](const std::wstring& url, bool topLevel, bool ownPage, bool newWindow) {
            return OnBrowserNavigation(url, topLevel, ownPage, newWindow);
        });
        m_browser.Create(L"", WS_VISIBLE | WS_TABSTOP, rect, hwnd(), IDC_NEWS_BROWSER);
    }
    NavigateToUrl();
    if (!GetParent(hwnd())) {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    }
    SetBackgroundColor(m_clrBack);
    m_brushBack.reset(CreateSolidBrush(m_clrBack));
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return rw::InitFocus::Default;
}

void CdlgWebBrowser::NavigateToUrl() {
    if (m_strUrl.empty() || !rw::IsWebAddress(m_strUrl)) return;
    EnableItem(IDOK, false);
    Browser().Navigate(m_strUrl);
    if (m_nTimer == 0) m_nTimer = SetTimer(hwnd(), kLoadPollTimer, kLoadPollMs, nullptr);
}

rw::NewsNavigation CdlgWebBrowser::OnBrowserNavigation(const std::wstring& url, bool topLevel, bool ownPage,
                                                       bool newWindow) {
    const rw::NewsNavigation decision =
        newWindow ? rw::DecideNewsNewWindow(url) : rw::DecideNewsNavigation(url, topLevel, ownPage);
    if (decision == rw::NewsNavigation::OpenInBrowser && m_openInBrowser) m_openInBrowser(url);
    return decision;
}

void CdlgWebBrowser::OnTimer(UINT_PTR id) {
    if (id != kLoadPollTimer || m_nTimer == 0) return;
    if (Browser().ReadyState() != kReadyStateComplete) return;
    KillTimer(hwnd(), m_nTimer);
    m_nTimer = 0;
    EnableItem(IDOK, true);
    SetFocus(Item(IDOK));
}

rw::MessageResult CdlgWebBrowser::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: OnTimer(wParam); break;  // then the default processing
        case WM_DESTROY:
            DefaultProcessing(message, wParam, lParam);
            if (m_nTimer != 0) KillTimer(hwnd(), m_nTimer);
            m_nTimer = 0;
            m_browser.Destroy();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, m_clrText);
            SetBkColor(dc, m_clrBack);
            SetBkMode(dc, TRANSPARENT);
            if (m_brushBack) return reinterpret_cast<LRESULT>(m_brushBack.get());
            break;
        }
    }
    return Dialog::Route(message, wParam, lParam);
}

}  // namespace rw
