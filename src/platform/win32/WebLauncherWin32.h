// Opens addresses with the shell's default handler; a failure is shown in a message box.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "platform/WebLauncher.h"

namespace rw {

class WebLauncherWin32 final : public WebLauncher {
public:
    // owner: the window that owns the failure message (may give null); title: its caption.
    // Both are asked at each request: the window and the name may change during the run.
    WebLauncherWin32(std::function<HWND()> owner, std::function<std::wstring()> title)
        : owner_(std::move(owner)), title_(std::move(title)) {}
    bool Open(const std::wstring& address) override;
    void ReportFailure(const std::wstring& message) override;

private:
    std::function<HWND()> owner_;
    std::function<std::wstring()> title_;
};

}  // namespace rw
