// The program's private window messages, all posted to the main window (WM_USER + 100 on).
#pragma once
#include <cstdint>

constexpr std::uint32_t WMU_TRAY_CALLBACK = 0x464;  // the notification-area icon's callback and id
constexpr std::uint32_t WMU_UPGRADE_INFO = 0x465;
constexpr std::uint32_t WMU_NEWS_INFO = 0x466;
constexpr std::uint32_t WMU_TRAY_ICON = 0x468;
constexpr std::uint32_t WMU_PLANNED_BREAK_DUE = 0x469;
constexpr std::uint32_t WMU_CHECK_SKIPPED = 0x46A;
// The worker asks the program to end (a required upgrade or the end of support): the main
// window ends as the exit command does, saving its state, rather than the loop being cut.
constexpr std::uint32_t WMU_END_PROGRAM = 0x46B;
