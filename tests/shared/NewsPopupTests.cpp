// When news found by the check opens the news window by itself. Natively against the fake
// registry, under Wine against the real one.
#include <gtest/gtest.h>

#include <optional>

#include "RegistryTestEnv.h"
#include "settings/SettingsCatalog.h"
#include "updates/NewsPopup.h"

using namespace rw;
using namespace rw::test;

namespace {

constexpr std::int64_t kPopupNow = 1796801400;  // 2026-12-09 07:30 UTC
constexpr std::int64_t kWeek = 7 * 86400;

class NewsPopup : public RegistryTest {};

TEST_F(NewsPopup, NewerNewsPopsUpOnceTheQuietWeekIsOverAndTheUserHasNotSwitchedItOff) {
    const VersionQuad news = PackVersion(2026, 12, 1, 1);
    struct Case {
        const char* what;
        VersionQuad version;
        std::int64_t welcomeTime;
        std::optional<std::uint32_t> popupSwitch;  // "NewsPopup"; none: not stored
        std::optional<VersionQuad> last;           // "NewsLast"; none: not stored
        bool popsUp;
    };
    const Case cases[] = {
        {"never read, week over", news, kPopupNow - kWeek, std::nullopt, std::nullopt, true},
        {"welcome time unknown", news, 0, std::nullopt, std::nullopt, true},
        {"inside the quiet week", news, kPopupNow - kWeek + 1, std::nullopt, std::nullopt, false},
        {"switched off", news, 0, 0u, std::nullopt, false},
        {"switch other than 1", news, 0, 2u, std::nullopt, false},
        {"switched on", news, 0, 1u, std::nullopt, true},
        {"already read", news, 0, std::nullopt, news, false},
        {"older read", news, 0, std::nullopt, PackVersion(2026, 11, 30, 9), true},
        {"read from the future counts as none", news, 0, std::nullopt, PackVersion(2027, 1, 1, 1), true},
        {"no news", 0, 0, std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases) {
        ResetTestRegistry();
        if (c.popupSwitch) WriteSettingDword(kTestIdentity, Setting::NewsPopup, *c.popupSwitch);
        if (c.last) WriteSettingInt64(kTestIdentity, Setting::NewsLast, static_cast<std::int64_t>(*c.last));
        UpdateRecord record;
        record.version = c.version;
        record.url = L"http://news.test/latest";
        EXPECT_EQ(NewsPopsUp(kTestIdentity, record, c.welcomeTime, kPopupNow), c.popsUp) << c.what;
    }
}

}  // namespace
