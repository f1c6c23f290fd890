// The numbers of the program's scheduled events, shared by the worker and the break engine.
#pragma once
#include <cstdint>

namespace rw {

constexpr std::int32_t EVENT_UPGRADE_CHECK = 1;
constexpr std::int32_t EVENT_UPGRADE_RETRY = 3;
constexpr std::int32_t EVENT_TRAY_ICON_RETRY = 4;
constexpr std::int32_t EVENT_PLANNED_BREAK = 5;

}  // namespace rw
