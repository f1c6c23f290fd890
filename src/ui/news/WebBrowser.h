// The news window (IDD_NEWS): the vendor's news page in the system web browser control,
// with OK enabled only once the page has loaded completely (the load-poll timer polls the
// control's ready state every 100 ms) and Cancel always available.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "ui/news/Explorer.h"

namespace rw {

class CdlgWebBrowser : public rw::Dialog {
public:
    static constexpr UINT_PTR kLoadPollTimer = 102;
    static constexpr UINT kLoadPollMs = 100;
    static constexpr long kReadyStateComplete = 4;

    // The accent colours of the window's background and texts. Tests pass operations of
    // their own in place of the browser control.
    CdlgWebBrowser(COLORREF background, COLORREF text, rw::BrowserOperations* browser = nullptr);

    // Loads m_strUrl; called at initialisation, and again by anyone on an open window. An
    // address that is not an http:// or https:// one is treated as none.
    void NavigateToUrl();

    // What the browser is about to do: the news page stays in the window, a link the user
    // follows goes to m_openInBrowser, anything else nowhere.
    rw::NewsNavigation OnBrowserNavigation(const std::wstring& url, bool topLevel, bool ownPage, bool newWindow);

    std::wstring m_strUrl;
    std::function<void(const std::wstring&)> m_openInBrowser;  // the user's own browser
    UINT_PTR m_nTimer = 0;
    COLORREF m_clrBack;
    COLORREF m_clrText;
    rw::BrushOwner m_brushBack;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;

private:
    void OnTimer(UINT_PTR id);
    rw::BrowserOperations& Browser() { return testBrowser_ ? *testBrowser_ : m_browser; }

    rw::CExplorer m_browser;
    rw::BrowserOperations* testBrowser_;
};

}  // namespace rw
