#include "framework/Dpi.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

namespace rw {

namespace {

// A function of user32 that older systems lack, or null.
template <typename Function>
Function UserFunction(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
    wchar_t found[32] = L"";
    return hwnd && GetClassNameW(hwnd, found, static_cast<int>(std::size(found))) > 0 && lstrcmpiW(found, name) == 0;
}

// A window's rectangle in its parent's client coordinates (the screen's for a top-level one).
RECT RectInParent(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

}  // namespace

int TextWidth(HWND window, const wchar_t* text) {
    SIZE size{};
    if (const HDC dc = GetDC(window)) {
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    return size.cx;
}

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
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpiForWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    const int dpi = getDpiForWindow && hwnd ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

void ScaleLayout(HWND window, int fromDpi, int toDpi, bool withWindow, std::vector<FontOwner>& fonts) {
    if (!window || fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return;
    struct Placed {
        HWND hwnd;
        RECT rect;
    };
    // Every place is read before any moves: a control that follows another (a browse button
    // beside its edit) would otherwise be moved twice.
    std::vector<Placed> placed;
    if (withWindow) placed.push_back({window, RectInParent(window)});
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) {
            HWND parent = GetParent(child);
            if (!IsClass(parent, WC_COMBOBOXW) && !IsClass(parent, WC_COMBOBOXEXW)) {
                RECT rect = RectInParent(child);
                if (IsClass(child, WC_COMBOBOXW)) {
                    // Its height with the list dropped, which is what SetWindowPos sets.
                    RECT dropped{};
                    if (SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
                        rect.bottom = rect.top + (dropped.bottom - dropped.top);
                    }
                }
                reinterpret_cast<std::vector<Placed>*>(list)->push_back({child, rect});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&placed));

    std::vector<std::pair<HFONT, HFONT>> copies;  // a font, and its copy at the new size
    const auto copyOf = [&](HFONT font) -> HFONT {
        if (!font) return nullptr;
        for (const auto& [from, to] : copies) {
            if (from == font) return to;
            // A list view hands its font on to its header, which comes later in the list.
            if (to == font) return nullptr;
        }
        LOGFONTW description{};
        if (!GetObjectW(font, sizeof description, &description)) return nullptr;
        description.lfHeight = MulDiv(description.lfHeight, toDpi, fromDpi);
        description.lfWidth = MulDiv(description.lfWidth, toDpi, fromDpi);
        FontOwner copy(CreateFontIndirectW(&description));
        if (!copy) return nullptr;
        copies.emplace_back(font, copy.get());
        fonts.push_back(std::move(copy));
        return copies.back().second;
    };
    const auto scaled = [&](LONG value) { return MulDiv(value, toDpi, fromDpi); };
    for (const Placed& p : placed) {
        SetWindowPos(p.hwnd, nullptr, scaled(p.rect.left), scaled(p.rect.top), scaled(p.rect.right - p.rect.left),
                     scaled(p.rect.bottom - p.rect.top), SWP_NOZORDER | SWP_NOACTIVATE);
        // A list's columns were measured by the program, in pixels.
        if (IsClass(p.hwnd, WC_LISTVIEWW)) {
            const HWND header = ListView_GetHeader(p.hwnd);
            const int count = header ? Header_GetItemCount(header) : 0;
            for (int column = 0; column < count; ++column) {
                ListView_SetColumnWidth(p.hwnd, column, scaled(ListView_GetColumnWidth(p.hwnd, column)));
            }
        }
    }
    const auto refont = [&](HWND hwnd) {
        if (HFONT copy = copyOf(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)))) {
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(copy), FALSE);
        }
    };
    refont(window);
    for (const Placed& p : placed) {
        if (p.hwnd != window) refont(p.hwnd);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TakeOverDialogScaling(HWND dialog) {
    using SetBehaviourFn = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const SetBehaviourFn setBehaviour = UserFunction<SetBehaviourFn>("SetDialogDpiChangeBehavior");
    if (setBehaviour && dialog) setBehaviour(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

bool NonClientMetricsAt(int dpi, NONCLIENTMETRICSW& metrics) {
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const ForDpiFn forDpi = UserFunction<ForDpiFn>("SystemParametersInfoForDpi");
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) return true;
    // Without it the metrics are the system DPI's.
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    const int system = SystemDpi();
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                           &metrics.lfMessageFont}) {
        font->lfHeight = MulDiv(font->lfHeight, dpi, system);
    }
    return true;
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
