// F1 as a window receives it: WM_HELP with the help information of the window itself.
#pragma once
#include <windows.h>

namespace rw::test {

inline LRESULT SendHelp(HWND hwnd, DWORD contextId) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = hwnd;
    info.dwContextId = contextId;
    return SendMessageW(hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace rw::test
