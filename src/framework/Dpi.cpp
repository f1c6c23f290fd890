#include "framework/Dpi.h"

#include "framework/Handles.h"

namespace rw {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn LoadGetDpiForWindow() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
               : nullptr;
}

}  // namespace

int SystemDpi() {
    // Fixed for the life of the process (a change of scaling takes a new sign-in), so the
    // screen is asked once: every tick compares with it.
    static const int dpi = [] {
        WindowDC screen(nullptr);
        const int found = screen.dc() ? GetDeviceCaps(screen.dc(), LOGPIXELSY) : 0;
        return found > 0 ? found : kBaseDpi;
    }();
    return dpi;
}

int WindowDpi(HWND hwnd) {
    static const GetDpiForWindowFn getDpiForWindow = LoadGetDpiForWindow();
    const int dpi = getDpiForWindow && hwnd ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

RECT MonitorWorkArea(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return PrimaryWorkArea();
}

RECT PrimaryWorkArea() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return work;
}

POINT CentredInside(const RECT& over, const RECT& work, int width, int height) {
    LONG x = over.left + (over.right - over.left - width) / 2;
    LONG y = over.top + (over.bottom - over.top - height) / 2;
    // Inside the work area; a window larger than it keeps its top-left corner on screen.
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    return {x, y};
}

namespace {

void MoveTo(HWND hwnd, const RECT& over, const RECT& work) {
    RECT window{};
    if (!GetWindowRect(hwnd, &window)) return;
    const POINT at = CentredInside(over, work, window.right - window.left, window.bottom - window.top);
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CentreOnWorkArea(HWND hwnd) {
    const RECT work = MonitorWorkArea(hwnd);
    MoveTo(hwnd, work, work);
}

void CentreOverOwner(HWND hwnd) {
    HWND owner = GetWindow(hwnd, GW_OWNER);
    RECT over{};
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &over)) {
        CentreOnWorkArea(hwnd);
        return;
    }
    MoveTo(hwnd, over, MonitorWorkArea(owner));
}

}  // namespace rw
