// Whether news the check found opens the news window by itself: the rule, apart from the
// window that shows it, so that it is tested without one.
#pragma once
#include <cstdint>

#include "settings/SettingsStore.h"
#include "updates/UpdateFile.h"

namespace rw {

// A week after the welcome wizard, news stays on its button.
constexpr std::int64_t kNewsQuietPeriod = 604800;

// The news pops up when it is newer than the news last read ("NewsLast", a date version from
// the future counting as none), the user has not switched the pop-up off ("NewsPopup" other
// than 1) and the welcome wizard was finished at least a week ago (welcomeTime; 0: unknown).
bool NewsPopsUp(const SettingsIdentity& identity, const UpdateRecord& news, std::int64_t welcomeTime, std::int64_t now);

}  // namespace rw
