// The state of a window a test looked up, checked so that a missing window fails: a lookup
// that gives NULL must not read as "hidden" or "disabled".
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

namespace rw::test {

inline ::testing::AssertionResult Hidden(HWND hwnd) {
    if (!hwnd) return ::testing::AssertionFailure() << "there is no such window";
    if (IsWindowVisible(hwnd)) return ::testing::AssertionFailure() << "the window is visible";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Shown(HWND hwnd) {
    if (!hwnd) return ::testing::AssertionFailure() << "there is no such window";
    if (!IsWindowVisible(hwnd)) return ::testing::AssertionFailure() << "the window is hidden";
    return ::testing::AssertionSuccess();
}

// Whether the window is enabled; no value when there is no such window.
inline std::optional<bool> EnabledOf(HWND hwnd) {
    if (!hwnd) return std::nullopt;
    return IsWindowEnabled(hwnd) != FALSE;
}

// What a user sees of a window's scale: the pixel height of the font it draws with (0 when
// it has none or there is no window) and its size.
inline int FontHeightOf(HWND hwnd) {
    LOGFONTW font{};
    HFONT handle = hwnd ? reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)) : nullptr;
    if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

inline SIZE SizeOf(HWND hwnd) {
    RECT rect{};
    if (!hwnd || !GetWindowRect(hwnd, &rect)) return {0, 0};
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// True when after is before scaled from one DPI to another, give or take the pixel that
// rounding each control's place and size may cost.
inline ::testing::AssertionResult ScaledBy(int before, int after, int fromDpi, int toDpi) {
    if (before <= 0) return ::testing::AssertionFailure() << "nothing to compare: " << before;
    const int expected = MulDiv(before, toDpi, fromDpi);
    if (after >= expected - 2 && after <= expected + 2) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << before << " became " << after << ", not about " << expected;
}

// Sends WM_DPICHANGED as the system does when a window moves to a monitor of another DPI,
// with the window's rectangle scaled about its top-left corner as the suggested one.
inline void SendDpiChange(HWND hwnd, int fromDpi, int toDpi) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    RECT suggested{rect.left, rect.top, rect.left + MulDiv(rect.right - rect.left, toDpi, fromDpi),
                   rect.top + MulDiv(rect.bottom - rect.top, toDpi, fromDpi)};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(toDpi, toDpi), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace rw::test
