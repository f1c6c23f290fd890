// The daily upgrade and news check on the worker thread, and the stored state it leaves
// for the next start. Everything it needs of the system comes through seams.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Http.h"
#include "platform/Locale.h"
#include "platform/MachineMarker.h"
#include "settings/SettingsStore.h"
#include "updates/ThreadScheduledEventsManager.h"
#include "updates/UpdateFile.h"
#include "updates/UpdateSignature.h"

namespace rw {

// "Company_Product/short (platform part of the browser's agent)", blanks made "_", at most
// 1023 characters.
std::wstring BuildUserAgent(const std::wstring& company, const std::wstring& product, const std::wstring& shortVersion,
                            const std::string& browserAgent);
// "Accept-Language: en-GB\r\n", or the language alone when there is no country.
std::wstring BuildAcceptLanguage(const std::wstring& language, const std::wstring& country);
// <vendor base>/products/Restwell/downloads/?ver=<running version>
std::wstring UpdateFileAddress();
// <vendor base>/products/Restwell/downloads/index.html.sig: the file's detached signature.
std::wstring UpdateSignatureAddress();

// The caption and message of the notice for a newer version of the given type.
struct NoticeTexts {
    std::wstring caption;
    std::wstring message;
};
NoticeTexts NoticeTextsFor(const UpdateRecord& record);

// An upgrade notice the check hands to the user-interface thread, which shows it (the About
// window in its notice form, without a parent) and, for a required upgrade or the end of
// support, ends the program once it is closed.
struct UpgradeNoticeRequest {
    std::wstring caption;
    std::wstring message;
    UpdateRecord record;  // its url is what the notice's link opens
    bool quitAfter = false;
};

// The results of the last check, written by the worker and read by the user-interface
// thread: every access takes the lock and hands out copies.
class SharedUpdateRecords {
public:
    UpdateRecord Upgrade() const;
    UpdateRecord News() const;
    void SetUpgrade(const UpdateRecord& record);
    void SetNews(const UpdateRecord& record);
    void Set(const UpdateRecords& records);
    // The notice waiting to be shown; taking it leaves none.
    void SetNotice(UpgradeNoticeRequest notice);
    std::optional<UpgradeNoticeRequest> TakeNotice();

private:
    mutable std::mutex mutex_;
    UpdateRecords records_;
    std::optional<UpgradeNoticeRequest> notice_;
};

// What a check uses; all of it lives for the whole process.
struct UpgradeCheckServices {
    Http& http;
    MachineMarker& marker;
    Calendar& calendar;
    Locale& locale;
    // Written only through the channel, just before the matching message is posted.
    SharedUpdateRecords& records;
    SignatureVerifier& verifier;
    // The key the file must be signed with; empty: no signature is asked for.
    std::vector<std::uint8_t> updateKey = CompiledUpdateKey();
    std::wstring fileAddress = UpdateFileAddress();
    std::wstring signatureAddress = UpdateSignatureAddress();
};

constexpr std::int64_t kUpgradeRetryDelay = 300;
constexpr std::int64_t kUpgradeCheckPeriod = 86400;

// One pass of the check (EVENT_UPGRADE_CHECK or EVENT_UPGRADE_RETRY). Schedules, posts and
// writes go through the channel and are dropped once the worker is stopped.
void UpgradeCheck(bool retry, WorkerChannel& channel, const SettingsIdentity& identity, UpgradeCheckServices& services);

// At start-up and when a check was skipped: the upgrade and news state of the last check.
void LoadStoredUpdateState(const SettingsIdentity& identity, std::int64_t now, UpdateRecords& records);
void LoadStoredUpdateState(const SettingsIdentity& identity, std::int64_t now, SharedUpdateRecords& records);

}  // namespace rw
