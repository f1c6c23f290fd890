#include "updates/NewsPopup.h"

#include "settings/SettingsCatalog.h"

namespace rw {

bool NewsPopsUp(const SettingsIdentity& identity, const UpdateRecord& news, std::int64_t welcomeTime,
                std::int64_t now) {
    if (news.version == 0 || now < welcomeTime + kNewsQuietPeriod) return false;
    if (ReadSettingDword(identity, Setting::NewsPopup) != 1) return false;
    std::int64_t stored = 0;
    const VersionQuad last = ReadSettingInt64(identity, Setting::NewsLast, stored)
                                 ? SanitiseDateVersion(static_cast<VersionQuad>(stored), now)
                                 : 0;
    return news.version > last;
}

}  // namespace rw
