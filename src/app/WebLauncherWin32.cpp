#include "app/WebLauncherWin32.h"

#include <shellapi.h>

#include "app/ResourceString.h"
#include "res/resource.h"

namespace rw {

bool WebLauncherWin32::Open(const std::wstring& address) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner_, L"open", address.c_str(), L"", nullptr, SW_SHOWNORMAL));
    SetCursor(previous);
    return result > 32;
}

void WebLauncherWin32::ReportFailure(const std::wstring& shownAddress) {
    std::wstring text;
    if (FormatResourceString(text, IDS_BROWSER_FAILED, {shownAddress})) {
        MessageBoxW(owner_, text.c_str(), title_, MB_OK);
    }
}

}  // namespace rw
