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

}  // namespace rw::test
