// A window's DPI and where windows go on the screen. GetDpiForWindow exists from Windows 10
// 1607 on, so it is looked up at run time; before that every window has the system DPI, which
// the screen's LOGPIXELSY gives.
#pragma once
#include <windows.h>

namespace rw {

inline constexpr int kBaseDpi = 96;

// The DPI the window is drawn at.
int WindowDpi(HWND hwnd);
// The same without GetDpiForWindow: the screen's LOGPIXELSY.
int SystemDpi();
// A size given at 96 DPI, at the DPI given.
inline int ScaleToDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kBaseDpi);
}

// The width of the text in the window's font, in pixels.
int TextWidth(HWND window, const wchar_t* text);

// The work area of the monitor the window is on (the nearest one).
RECT MonitorWorkArea(HWND hwnd);
// The primary monitor's work area.
RECT PrimaryWorkArea();
// The top-left corner that centres a size over a rectangle, moved inside the work area.
POINT CentredInside(const RECT& over, const RECT& work, int width, int height);
// Centres the window on its monitor's work area.
void CentreOnWorkArea(HWND hwnd);
// Centres the window over its owner when it has a visible one that is not minimised, else on
// the work area; either way it stays inside the work area.
void CentreOverOwner(HWND hwnd);

}  // namespace rw
