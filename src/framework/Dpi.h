// A window's DPI and where windows go on the screen. GetDpiForWindow exists from Windows 10
// 1607 on, so it is looked up at run time; before that every window has the system DPI, which
// the screen's LOGPIXELSY gives.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/Handles.h"

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

// What the dialog manager laid out at one DPI, at another: every descendant of the window
// (and with withWindow the window itself) moved and sized in proportion within its parent,
// and every font they use replaced by a copy at the new size, kept in fonts while the
// controls use it (the window's own font too, for the pages and controls it makes later).
// The parts of a combo box are left to it.
void ScaleLayout(HWND window, int fromDpi, int toDpi, bool withWindow, std::vector<FontOwner>& fonts);
// Leaves the scaling of a dialog at a DPI change to the program: from Windows 10 1703 on the
// dialog manager would scale its controls as well (older systems and Wine never do).
void TakeOverDialogScaling(HWND dialog);
// The system's non-client metrics (caption, menu and message fonts) at the DPI given.
bool NonClientMetricsAt(int dpi, NONCLIENTMETRICSW& metrics);
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
