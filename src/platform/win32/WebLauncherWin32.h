// Opens addresses with the shell's default handler; a failure is shown in a message box.
#pragma once
#include <windows.h>

#include <string>

#include "platform/WebLauncher.h"

namespace rw {

class WebLauncherWin32 final : public WebLauncher {
public:
    // owner: the window that owns the failure message (may be null); title: its caption.
    WebLauncherWin32(HWND owner, std::wstring title) : owner_(owner), title_(std::move(title)) {}
    bool Open(const std::wstring& address) override;
    void ReportFailure(const std::wstring& message) override;

private:
    HWND owner_;
    std::wstring title_;
};

}  // namespace rw
