// Opens addresses with the shell's default handler; a failure is told in message 1103.
#pragma once
#include <windows.h>

#include "app/WebAddress.h"

namespace rw {

class WebLauncherWin32 final : public WebLauncher {
public:
    // owner: the window that owns the failure message (may be null); title: its caption.
    WebLauncherWin32(HWND owner, const wchar_t* title) : owner_(owner), title_(title) {}
    bool Open(const std::wstring& address) override;
    void ReportFailure(const std::wstring& shownAddress) override;

private:
    HWND owner_;
    const wchar_t* title_;
};

}  // namespace rw
