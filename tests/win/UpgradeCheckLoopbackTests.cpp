// The whole upgrade check with the real download and Windows' CNG against a loopback server
// that serves the update file and its signature: only a file the compiled key signed, sent
// with status 200, counts; a stored check time from the future does not stop the check.
#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "shared/RegistryTestEnv.h"
#include "core/PrivateMessages.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeLocale.h"
#include "fakes/FakeUpdateServices.h"
#include "fakes/RecordingPoster.h"
#include "platform/win32/HttpWinInet.h"
#include "platform/win32/SignatureVerifierCng.h"
#include "settings/SettingsCatalog.h"
#include "updates/ThreadScheduledEvents.h"
#include "updates/UpgradeCheck.h"

using namespace rw;
using namespace rw::test;
using namespace std::chrono_literals;

namespace {

constexpr std::int64_t kNow = 1796801400;
// Made by openssl, as scripts/sign-update makes them.
const char* kKey =
    "04fd3571394503719aaa42264b8834278ad4722e2842e35f5c8b62e2b862d310bd4cf2bc15e06b8b8915defc04bc62468235b3e1bc28815"
    "4fb7eb7ed6165f2601d";
const char* kOtherKey =
    "043bf99a9201f14f1b0476dc66648d8aa007130913bdeddd00b143d9487e17cffea9eca46c8c7120ef38e891c50f876ceb10e9db58117b9"
    "c71436b451fc0cd10ab";
const char* kSignatureHex =
    "3044022036e6f5e43989d935f831d77afcf3222b5047915caae6d7a249b090e4f2185c2202201c2d0403c48cb6aaa9df1ffb7ba9a21b3149"
    "5c7468f497e7ed125ca5b3eb0e34";
const std::string kFile =
    "{C476BF3C-A85C-4C00-96A4-6F39C301010F}\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n";

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

class UpgradeCheckLoopback : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
        server.SetPage("/products/Restwell/downloads/", kFile);
        services.fileAddress = server.Url(L"/products/Restwell/downloads/?ver=2.1.0.13021");
        services.signatureAddress = server.Url(L"/products/Restwell/downloads/index.html.sig");
    }
    // One check on a worker; true when it counted (stored, told the main window).
    bool Check() {
        poster = std::make_shared<RecordingPoster>();
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        UpgradeCheckServices* s = &services;
        CThreadScheduledEvents events(calendar,
                                      [s, done](bool r, WorkerChannel& channel, const SettingsIdentity& identity) {
                                          UpgradeCheck(r, channel, identity, *s);
                                          done->set_value();
                                      });
        EXPECT_TRUE(events.Start(poster, kTestIdentity));
        events.Schedule(EVENT_UPGRADE_CHECK, kNow, kUpgradeCheckInterval);
        EXPECT_EQ(finished.wait_for(20s), std::future_status::ready);
        std::int64_t stored = 0;
        const bool counted = ReadSettingInt64(kTestIdentity, Setting::UpgradeCheck, stored) && stored == kNow;
        const auto messages = poster->Messages();
        EXPECT_EQ(counted, !messages.empty() && messages[0].message == WMU_UPGRADE_INFO);
        return counted;
    }

    LoopbackServer server{Behaviour::Pages};
    FakeCalendar calendar{kNow};
    std::shared_ptr<RecordingPoster> poster;
    HttpWinInet http{HttpBounds{2s, 2s, 5s}};
    FakeMarker marker;
    FakeLocale locale;
    SharedUpdateRecords records;
    SignatureVerifierCng cng;
    UpgradeCheckServices services{http, marker, calendar, locale, records, cng, PublicKeyFromHex(kKey)};
};

TEST_F(UpgradeCheckLoopback, OnlyAFileTheKeySignedCounts) {
    EXPECT_FALSE(Check()) << "no signature beside the file";

    server.SetPage("/products/Restwell/downloads/index.html.sig", FromHex(kSignatureHex));
    EXPECT_TRUE(Check()) << "bcrypt status 0x" << std::hex << cng.LastStatus();
    EXPECT_EQ(records.Upgrade().version, PackVersion(2, 1, 0, 13022));

    ResetTestRegistry();
    PutDword(kHkeyCurrentUser, false, nullptr, L"UpgradePopupOpts", 0);
    std::string flipped = kFile;
    flipped[60] ^= 0x01;
    server.SetPage("/products/Restwell/downloads/", flipped);
    EXPECT_FALSE(Check()) << "a flipped byte";

    server.SetPage("/products/Restwell/downloads/", kFile);
    services.updateKey = PublicKeyFromHex(kOtherKey);
    EXPECT_FALSE(Check()) << "another key";
}

TEST_F(UpgradeCheckLoopback, AnErrorStatusIsAFailedCheckAndAFutureTimeNoCheck) {
    services.updateKey.clear();
    services.fileAddress = server.Url(L"/nothing-here");  // 404, with a body
    EXPECT_FALSE(Check());
    EXPECT_EQ(server.Requests(), 1);

    services.fileAddress = server.Url(L"/products/Restwell/downloads/?ver=2.1.0.13021");
    WriteSettingInt64(kTestIdentity, Setting::UpgradeCheck, kNow + 3 * 365 * 86400ll);
    EXPECT_TRUE(Check()) << "a stored time years ahead stopped the check";
    EXPECT_EQ(server.Requests(), 2);
}

}  // namespace
