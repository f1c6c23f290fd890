// The system web browser control in a small OLE container of our own. The news window
// uses two of its operations, through the control's dispatch interface; tests put their
// own in place of the control through BrowserOperations. The control runs silent (no script
// error dialogs), and every navigation and new window it is about to make is put to the
// owner's navigation rule first.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "framework/Handles.h"
#include "updates/NewsNavigation.h"

namespace rw {

class BrowserOperations {
public:
    virtual ~BrowserOperations() = default;
    virtual HRESULT Navigate(const std::wstring& url) = 0;
    // 4 = complete; 0 when it cannot be read.
    virtual long ReadyState() = 0;
};

class CExplorer final : public BrowserOperations {
public:
    CExplorer() = default;
    CExplorer(const CExplorer&) = delete;
    CExplorer& operator=(const CExplorer&) = delete;
    ~CExplorer() override { Destroy(); }

    // Creates the control ({8856F961-340A-11D0-A96B-00C04FD705A2}) in place, in a child
    // window of parent with that id, name, style and rectangle. COM must be initialised.
    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id);
    // Closes the control and destroys its window.
    void Destroy();

    // Decides each navigation (url, top level, the one Navigate asked for) and each new
    // window (url, newWindow = true); a navigation that is not allowed is cancelled, and the
    // rule itself opens what it sends to the user's browser.
    using NavigationRule =
        std::function<NewsNavigation(const std::wstring& url, bool topLevel, bool ownPage, bool newWindow)>;
    void SetNavigationRule(NavigationRule rule) { rule_ = std::move(rule); }

    HRESULT Navigate(const std::wstring& url) override;
    long ReadyState() override;
    HWND hwnd() const { return host_; }

private:
    class Site;
    class Events;
    NewsNavigation OnNavigation(const std::wstring& url, IDispatch* frame, bool newWindow);

    HWND host_ = nullptr;
    Site* site_ = nullptr;
    Events* events_ = nullptr;
    DWORD eventsCookie_ = 0;
    ComPtr<IConnectionPoint> connection_;
    NavigationRule rule_;
    bool ownNavigationPending_ = false;
    ComPtr<IOleObject> object_;
    ComPtr<IDispatch> dispatch_;
};

}  // namespace rw
