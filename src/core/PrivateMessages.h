// The program's private window messages, all posted to the main window (WM_USER + 100 on).
#pragma once
#include <cstdint>

namespace rw {

constexpr std::uint32_t WMU_TRAY_CALLBACK = 0x464;  // the notification-area icon's callback and id
constexpr std::uint32_t WMU_UPGRADE_INFO = 0x465;
constexpr std::uint32_t WMU_NEWS_INFO = 0x466;
constexpr std::uint32_t WMU_TRAY_ICON = 0x468;  // wParam TRAY_ICON_RETRY_ADD, nothing else
constexpr std::uint32_t WMU_PLANNED_BREAK_DUE = 0x469;
constexpr std::uint32_t WMU_CHECK_SKIPPED = 0x46A;
constexpr std::uint32_t WMU_SETTINGS_NOT_SAVED = 0x46B;  // a refused write waits to be told
constexpr std::uint32_t WMU_UPGRADE_NOTICE = 0x470;      // an upgrade notice waits in the shared records

// WMU_TRAY_ICON's one request: the worker retries a failed add of the notification-area icon.
constexpr std::uint32_t TRAY_ICON_RETRY_ADD = 2;

}  // namespace rw
