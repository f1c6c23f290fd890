// The system web browser control in a small OLE container of our own. The news window
// uses two of its operations, through the control's dispatch interface; tests put their
// own in place of the control through BrowserOperations.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <string>

#include "framework/Handles.h"

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

    HRESULT Navigate(const std::wstring& url) override;
    long ReadyState() override;
    HWND hwnd() const { return host_; }

private:
    class Site;
    HWND host_ = nullptr;
    Site* site_ = nullptr;
    ComPtr<IOleObject> object_;
    ComPtr<IDispatch> dispatch_;
};

}  // namespace rw
