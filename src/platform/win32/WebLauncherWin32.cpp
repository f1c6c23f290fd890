#include "platform/win32/WebLauncherWin32.h"

#include <shellapi.h>

namespace rw {

bool WebLauncherWin32::Open(const std::wstring& address) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(owner_(), L"open", address.c_str(), L"", nullptr, SW_SHOWNORMAL));
    SetCursor(previous);
    return result > 32;
}

void WebLauncherWin32::ReportFailure(const std::wstring& message) {
    MessageBoxW(owner_(), message.c_str(), title_().c_str(), MB_OK);
}

}  // namespace rw
