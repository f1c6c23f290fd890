// The upgrade and news check on a real worker thread with fakes for the download, the
// machine marker and the notice: what it posts, stores, schedules and shows. Natively
// against the fake registry, under Wine against the real one.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "RegistryTestEnv.h"
#include "core/PrivateMessages.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeLocale.h"
#include "fakes/FakeUpdateServices.h"
#include "fakes/RecordingPoster.h"
#include "settings/SettingsCatalog.h"
#include "updates/ThreadScheduledEvents.h"
#include "updates/UpgradeCheck.h"

using namespace rw;
using namespace rw::test;
using namespace std::chrono_literals;

namespace {

constexpr std::int64_t kNow = 1796801400;  // 2026-12-09 07:30 UTC
const std::string kMarker = "{C476BF3C-A85C-4C00-96A4-6F39C301010F}";
const std::string kNews = "\nP:NEWS_V1\t2026.12.1.1\tO\thttp://news.test/latest\n";

class UpgradeCheckTest : public RegistryTest {
protected:
    // Runs one check on a worker and returns when it is over.
    void RunCheck(bool retry) {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        UpgradeCheckServices* services = &services_;
        CThreadScheduledEvents events(
            calendar, [services, done](bool r, nsHalden::WorkerChannel& channel, const SettingsIdentity& identity) {
                UpgradeCheck(r, channel, identity, *services);
                done->set_value();
            });
        if (retry) events.Schedule(EVENT_UPGRADE_RETRY, kNow, 0);
        ASSERT_TRUE(events.Start(poster, kTestIdentity));
        if (!retry) events.Schedule(EVENT_UPGRADE_CHECK, kNow, kUpgradeCheckInterval);
        ASSERT_EQ(finished.wait_for(10s), std::future_status::ready);
        // A retry that has just run may still be in the table until its pass ends: only a
        // pending one counts.
        const auto retryEvent = events.Find(EVENT_UPGRADE_RETRY);
        retryScheduled = retryEvent && !retryEvent->done;
        if (retryScheduled) retryDue = retryEvent->due;
    }
    std::vector<std::uint32_t> Posted() const {
        std::vector<std::uint32_t> ids;
        for (const auto& m : poster->Messages()) ids.push_back(m.message);
        return ids;
    }
    std::int64_t StoredCheck() const {
        std::int64_t t = 0;
        return ReadSettingInt64(kTestIdentity, Setting::UpgradeCheck, t) ? t : -1;
    }

    FakeCalendar calendar{kNow};
    std::shared_ptr<RecordingPoster> poster = std::make_shared<RecordingPoster>();
    FakeHttp http;
    FakeMarker marker;
    FakeLocale locale;
    RecordingNotice notice;
    UpdateRecords records;
    UpgradeCheckServices services_{http, marker, calendar, locale, notice, records};
    bool retryScheduled = false;
    std::int64_t retryDue = 0;
};

TEST_F(UpgradeCheckTest, OptionalUpgradeShowsTheNoticeThenTellsTheMainWindow) {
    http.body = "<html>" + kMarker + "\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n" + kNews;
    RunCheck(false);
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(http.requests[0].url, UpdateFileAddress());
    EXPECT_EQ(http.requests[0].agent.rfind(L"Quillfen_Restwell/2.1 (compatible;", 0), 0u);
    EXPECT_EQ(http.requests[0].headers, L"Accept-Language: en-GB\r\n");
    ASSERT_EQ(notice.shown.size(), 1u);
    EXPECT_EQ(notice.shown[0].caption, L"Upgrade Available");
    EXPECT_NE(notice.shown[0].message.find(L"version 2.1.0.13022.</a>"), std::wstring::npos);
    EXPECT_EQ(notice.shown[0].record.url, L"http://dl.test/setup");
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_INFO, WMU_NEWS_INFO}));
    EXPECT_EQ(records.upgradeInfo, (UpdateRecord{L"http://dl.test/setup", PackVersion(2, 1, 0, 13022), 1}));
    EXPECT_EQ(records.newsInfo, (UpdateRecord{L"http://news.test/latest", PackVersion(2026, 12, 1, 1), 1}));
    EXPECT_EQ(StoredCheck(), kNow);
    EXPECT_FALSE(retryScheduled);
}

TEST_F(UpgradeCheckTest, PopupOptionsZeroSuppressesOnlyTheOptionalNotice) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
    http.body = kMarker + "\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n";
    RunCheck(false);
    EXPECT_TRUE(notice.shown.empty());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_INFO}));
    EXPECT_EQ(records.upgradeInfo.version, PackVersion(2, 1, 0, 13022));
}

TEST_F(UpgradeCheckTest, RequiredUpgradeAndEndOfSupportEndTheProgramAfterTheNotice) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
    for (const char* letter : {"R", "X"}) {
        poster = std::make_shared<RecordingPoster>();
        notice.shown.clear();
        ResetTestRegistry();
        http.body = kMarker + "\nP:PRODUCT_V1\t3.0.0.0\t" + letter + "\thttp://dl.test/setup\n" + kNews;
        RunCheck(false);
        ASSERT_EQ(notice.shown.size(), 1u) << letter;
        EXPECT_EQ(notice.shown[0].caption, *letter == 'R' ? L"Upgrade Available" : L"Program no longer supported");
        // The news step runs after the quit as well; the upgrade record stays as it was.
        EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_END_PROGRAM, WMU_NEWS_INFO})) << letter;
        EXPECT_EQ(records.upgradeInfo.version, 0u);
        EXPECT_EQ(StoredCheck(), kNow);
    }
}

TEST_F(UpgradeCheckTest, RunningVersionStoresTheServersVersionWithoutAddress) {
    http.body = kMarker + "\nP:PRODUCT_V1\t2.1.0.13021\tO\thttp://dl.test/setup\n";
    RunCheck(false);
    EXPECT_TRUE(notice.shown.empty());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_INFO}));
    EXPECT_EQ(records.upgradeInfo, (UpdateRecord{L"", kRunningVersion, 0}));
}

TEST_F(UpgradeCheckTest, AnErrorPageIsAStoredCheckAndNothingElse) {
    http.body = "<html><body><h1>404 Not Found</h1></body></html>";
    RunCheck(false);
    EXPECT_TRUE(poster->Messages().empty());
    EXPECT_TRUE(notice.shown.empty());
    EXPECT_EQ(StoredCheck(), kNow);
    EXPECT_FALSE(retryScheduled);
}

TEST_F(UpgradeCheckTest, AFailedDownloadIsRetriedOnceAfterFiveMinutes) {
    http.result = HResultFromWin32(12002);
    RunCheck(false);
    EXPECT_TRUE(retryScheduled);
    EXPECT_EQ(retryDue, kNow + 300);
    EXPECT_EQ(StoredCheck(), -1);
    EXPECT_TRUE(poster->Messages().empty());

    RunCheck(true);  // the retry fails too: nothing more
    EXPECT_FALSE(retryScheduled);
}

TEST_F(UpgradeCheckTest, ACheckLessThanADayOldIsSkipped) {
    WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, kNow - 86399);
    RunCheck(false);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_CHECK_SKIPPED}));

    poster = std::make_shared<RecordingPoster>();
    WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, kNow - 86400);
    http.body = "no marker";
    RunCheck(false);
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_TRUE(poster->Messages().empty());
}

TEST_F(UpgradeCheckTest, AnotherChecksMarkerSkipsWithoutTrace) {
    marker.heldElsewhere = true;
    http.body = kMarker + "\nP:PRODUCT_V1\t3.0.0.0\tR\thttp://dl.test/setup\n";
    RunCheck(false);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(poster->Messages().empty());
    EXPECT_FALSE(retryScheduled);
    EXPECT_EQ(StoredCheck(), -1);
}

TEST_F(UpgradeCheckTest, MalformedOrZeroNewsIsIgnored) {
    for (const char* news : {"P:NEWS_V1\t0.0.0.0\tO\thttp://n.test/", "P:NEWS_V1\t2026.1.1\tO\thttp://n.test/",
                             "P:NEWS_V1\t2026.1.1.1\to\thttp://n.test/"}) {
        poster = std::make_shared<RecordingPoster>();
        ResetTestRegistry();
        http.body = kMarker + "\n" + news + "\n";
        RunCheck(false);
        EXPECT_TRUE(poster->Messages().empty()) << news;
    }
}

TEST_F(UpgradeCheckTest, StoredStateIsLoadedAndFutureNewsDropped) {
    WriteSettingInt64(kTestIdentity, Setting::UpgradeVersion, static_cast<std::int64_t>(PackVersion(2, 2, 0, 0)));
    WriteSettingString(kTestIdentity, Setting::UpgradeUrl, L"https://dl.test/x");
    WriteSettingDword(kTestIdentity, Setting::UpgradeType, 1);
    WriteSettingInt64(kTestIdentity, Setting::NewsVersion, static_cast<std::int64_t>(PackVersion(2099, 1, 1, 1)));
    WriteSettingString(kTestIdentity, Setting::NewsUrl, L"http://n.test/");
    UpdateRecords loaded;
    LoadStoredUpdateState(kTestIdentity, kNow, loaded);
    EXPECT_EQ(loaded.upgradeInfo, (UpdateRecord{L"https://dl.test/x", PackVersion(2, 2, 0, 0), 1}));
    EXPECT_EQ(loaded.newsInfo, UpdateRecord{});

    // An older stored version brings neither address nor type; a file: address is none.
    WriteSettingInt64(kTestIdentity, Setting::UpgradeVersion, static_cast<std::int64_t>(kRunningVersion));
    WriteSettingInt64(kTestIdentity, Setting::NewsVersion, static_cast<std::int64_t>(PackVersion(2026, 12, 1, 1)));
    WriteSettingString(kTestIdentity, Setting::NewsUrl, L"file:///C:/x.html");
    loaded = {};
    LoadStoredUpdateState(kTestIdentity, kNow, loaded);
    EXPECT_EQ(loaded.upgradeInfo, (UpdateRecord{L"", kRunningVersion, 0}));
    EXPECT_EQ(loaded.newsInfo, (UpdateRecord{L"", PackVersion(2026, 12, 1, 1), 0}));
}

}  // namespace
