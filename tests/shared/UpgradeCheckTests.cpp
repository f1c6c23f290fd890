// The upgrade and news check on a real worker thread with fakes for the download and the
// machine marker: what it posts, stores, schedules and hands over as a notice. Natively
// against the fake registry, under Wine against the real one.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <limits>
#include <optional>
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

constexpr std::int64_t kCheckNow = 1796801400;  // 2026-12-09 07:30 UTC
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
            calendar, [services, done](bool r, WorkerChannel& channel, const SettingsIdentity& identity) {
                UpgradeCheck(r, channel, identity, *services);
                done->set_value();
            });
        if (retry) events.Schedule(EVENT_UPGRADE_RETRY, kCheckNow, 0);
        ASSERT_TRUE(events.Start(poster, kTestIdentity));
        if (!retry) events.Schedule(EVENT_UPGRADE_CHECK, kCheckNow, kUpgradeCheckInterval);
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

    FakeCalendar calendar{kCheckNow};
    std::shared_ptr<RecordingPoster> poster = std::make_shared<RecordingPoster>();
    FakeHttp http;
    FakeMarker marker;
    FakeLocale locale;
    SharedUpdateRecords records;
    FakeVerifier verifier;
    UpgradeCheckServices services_{http, marker, calendar, locale, records, verifier, {}};
    bool retryScheduled = false;
    std::int64_t retryDue = 0;
};

TEST_F(UpgradeCheckTest, OptionalUpgradeHandsOverTheNoticeAndTellsTheMainWindow) {
    http.body = "<html>" + kMarker + "\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n" + kNews;
    RunCheck(false);
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(http.requests[0].url, UpdateFileAddress());
    EXPECT_EQ(http.requests[0].agent.rfind(L"Quillfen_Restwell/2.1 (compatible;", 0), 0u);
    EXPECT_EQ(http.requests[0].headers, L"Accept-Language: en-GB\r\n");
    const auto notice = records.TakeNotice();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->caption, L"Upgrade Available");
    EXPECT_NE(notice->message.find(L"version 2.1.0.13022.</a>"), std::wstring::npos);
    EXPECT_EQ(notice->record.url, L"http://dl.test/setup");
    EXPECT_FALSE(notice->quitAfter);
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_NOTICE, WMU_UPGRADE_INFO, WMU_NEWS_INFO}));
    EXPECT_EQ(records.Upgrade(), (UpdateRecord{L"http://dl.test/setup", PackVersion(2, 1, 0, 13022), 1}));
    EXPECT_EQ(records.News(), (UpdateRecord{L"http://news.test/latest", PackVersion(2026, 12, 1, 1), 1}));
    EXPECT_EQ(StoredCheck(), kCheckNow);
    EXPECT_FALSE(retryScheduled);
    EXPECT_EQ(marker.held, 0);
}

TEST_F(UpgradeCheckTest, PopupOptionsZeroSuppressesOnlyTheOptionalNotice) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
    http.body = kMarker + "\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n";
    RunCheck(false);
    EXPECT_FALSE(records.TakeNotice().has_value());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_INFO}));
    EXPECT_EQ(records.Upgrade().version, PackVersion(2, 1, 0, 13022));
}

// The notice of a required upgrade or of the end of support waits for the user on the
// windows' thread: the check has ended by then, the machine marker is free for other
// sessions' checks, and the worker is free for planned breaks.
TEST_F(UpgradeCheckTest, RequiredUpgradeAndEndOfSupportEndTheProgramAfterTheNotice) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
    for (const char* letter : {"R", "X"}) {
        poster = std::make_shared<RecordingPoster>();
        ResetTestRegistry();
        http.body = kMarker + "\nP:PRODUCT_V1\t3.0.0.0\t" + letter + "\thttp://dl.test/setup\n" + kNews;
        RunCheck(false);
        EXPECT_EQ(marker.held, 0) << letter;
        const auto notice = records.TakeNotice();
        ASSERT_TRUE(notice.has_value()) << letter;
        EXPECT_EQ(notice->caption, *letter == 'R' ? L"Upgrade Available" : L"Program no longer supported");
        EXPECT_TRUE(notice->quitAfter) << letter;
        // The news step runs as well; the upgrade record stays as it was.
        EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_NOTICE, WMU_NEWS_INFO})) << letter;
        EXPECT_EQ(records.Upgrade().version, 0u);
        EXPECT_EQ(StoredCheck(), kCheckNow);
    }
}

TEST_F(UpgradeCheckTest, RunningVersionStoresTheServersVersionWithoutAddress) {
    http.body = kMarker + "\nP:PRODUCT_V1\t2.1.0.13021\tO\thttp://dl.test/setup\n";
    RunCheck(false);
    EXPECT_FALSE(records.TakeNotice().has_value());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_UPGRADE_INFO}));
    EXPECT_EQ(records.Upgrade(), (UpdateRecord{L"", kRunningVersion, 0}));
}

TEST_F(UpgradeCheckTest, AnErrorPageIsAStoredCheckAndNothingElse) {
    http.body = "<html><body><h1>404 Not Found</h1></body></html>";
    RunCheck(false);
    EXPECT_TRUE(poster->Messages().empty());
    EXPECT_FALSE(records.TakeNotice().has_value());
    EXPECT_EQ(StoredCheck(), kCheckNow);
    EXPECT_FALSE(retryScheduled);
}

TEST_F(UpgradeCheckTest, AFailedDownloadIsRetriedOnceAfterFiveMinutes) {
    http.result = HResultFromWin32(12002);
    RunCheck(false);
    EXPECT_TRUE(retryScheduled);
    EXPECT_EQ(retryDue, kCheckNow + 300);
    EXPECT_EQ(StoredCheck(), -1);
    EXPECT_TRUE(poster->Messages().empty());

    RunCheck(true);  // the retry fails too: nothing more
    EXPECT_FALSE(retryScheduled);
}

TEST_F(UpgradeCheckTest, ACheckLessThanADayOldIsSkipped) {
    WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, kCheckNow - 86399);
    RunCheck(false);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_EQ(Posted(), (std::vector<std::uint32_t>{WMU_CHECK_SKIPPED}));

    poster = std::make_shared<RecordingPoster>();
    WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, kCheckNow - 86400);
    http.body = "no marker";
    RunCheck(false);
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_TRUE(poster->Messages().empty());
}

// A stored time more than a day ahead (a wrong clock once) is no check at all; the largest
// values neither overflow nor stop the check.
TEST_F(UpgradeCheckTest, AStoredCheckFromTheFutureCountsAsNone) {
    struct Case {
        std::int64_t stored;
        bool runs;
    } cases[] = {
        {kCheckNow + 86400, false},
        {kCheckNow + 86401, true},
        {kCheckNow + 3 * 365 * 86400ll, true},
        {std::numeric_limits<std::int64_t>::max(), true},
        {std::numeric_limits<std::int64_t>::max() - 86399, true},
        {std::numeric_limits<std::int64_t>::min(), true},
    };
    for (const Case& c : cases) {
        poster = std::make_shared<RecordingPoster>();
        http.requests.clear();
        WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, c.stored);
        http.body = "no marker";
        RunCheck(false);
        EXPECT_EQ(http.requests.size(), c.runs ? 1u : 0u) << c.stored;
        EXPECT_EQ(Posted(), c.runs ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{WMU_CHECK_SKIPPED})
            << c.stored;
        if (c.runs) {
            EXPECT_EQ(StoredCheck(), kCheckNow) << c.stored;
        }
    }
}

// With a key, the file counts only with a good signature beside it; anything else is a failed
// download (retried, not stored). The verifier itself is CNG's, tested under Wine.
TEST_F(UpgradeCheckTest, WithAKeyOnlyASignedFileCounts) {
    const std::vector<std::uint8_t> key = PublicKeyFromHex("04" + std::string(128, '1'));
    ASSERT_EQ(key.size(), 65u);
    const std::string der = "\x30\x06\x02\x01\x05\x02\x01\x07";  // r = 5, s = 7
    struct Case {
        const char* name;
        std::optional<std::string> signature;
        bool verifierSays;
        bool counts;
    } cases[] = {
        {"good", der, true, true},
        {"rejected", der, false, false},
        {"missing", std::nullopt, true, false},
        {"not DER", std::string("\x30\x07garbage"), true, false},
    };
    for (const Case& c : cases) {
        poster = std::make_shared<RecordingPoster>();
        ResetTestRegistry();
        http.requests.clear();
        verifier.asked.clear();
        verifier.accept = c.verifierSays;
        services_.updateKey = key;
        http.body = kMarker + "\nP:PRODUCT_V1\t2.1.0.13021\tO\thttp://dl.test/setup\n";
        http.pages[services_.signatureAddress] = c.signature;
        RunCheck(false);
        ASSERT_EQ(http.requests.size(), 2u) << c.name;
        EXPECT_EQ(http.requests[1].url, UpdateSignatureAddress()) << c.name;
        EXPECT_EQ(Posted(), c.counts ? std::vector<std::uint32_t>{WMU_UPGRADE_INFO} : std::vector<std::uint32_t>{})
            << c.name;
        EXPECT_EQ(StoredCheck(), c.counts ? kCheckNow : -1) << c.name;
        EXPECT_EQ(retryScheduled, !c.counts) << c.name;
        if (c.signature && c.signature->size() == der.size()) {
            ASSERT_EQ(verifier.asked.size(), 1u) << c.name;
            EXPECT_EQ(verifier.asked[0].key, key);
            EXPECT_EQ(std::string(verifier.asked[0].data.begin(), verifier.asked[0].data.end()), http.body);
            EXPECT_EQ(verifier.asked[0].signature[31], 5);
            EXPECT_EQ(verifier.asked[0].signature[63], 7);
        } else {
            EXPECT_TRUE(verifier.asked.empty()) << c.name;
        }
    }
    // Without a key no signature is fetched.
    services_.updateKey.clear();
    http.requests.clear();
    ResetTestRegistry();
    RunCheck(false);
    EXPECT_EQ(http.requests.size(), 1u);
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
    LoadStoredUpdateState(kTestIdentity, kCheckNow, loaded);
    EXPECT_EQ(loaded.upgradeInfo, (UpdateRecord{L"https://dl.test/x", PackVersion(2, 2, 0, 0), 1}));
    EXPECT_EQ(loaded.newsInfo, UpdateRecord{});

    // An older stored version brings neither address nor type; a file: address is none.
    WriteSettingInt64(kTestIdentity, Setting::UpgradeVersion, static_cast<std::int64_t>(kRunningVersion));
    WriteSettingInt64(kTestIdentity, Setting::NewsVersion, static_cast<std::int64_t>(PackVersion(2026, 12, 1, 1)));
    WriteSettingString(kTestIdentity, Setting::NewsUrl, L"file:///C:/x.html");
    loaded = {};
    LoadStoredUpdateState(kTestIdentity, kCheckNow, loaded);
    EXPECT_EQ(loaded.upgradeInfo, (UpdateRecord{L"", kRunningVersion, 0}));
    EXPECT_EQ(loaded.newsInfo, (UpdateRecord{L"", PackVersion(2026, 12, 1, 1), 0}));
}

}  // namespace
