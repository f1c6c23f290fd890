// The daily upgrade and news check on the worker thread, and the stored state it leaves
// for the next start. Everything it needs of the system comes through seams.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/Http.h"
#include "platform/Locale.h"
#include "platform/MachineMarker.h"
#include "settings/SettingsStore.h"
#include "updates/ThreadScheduledEventsManager.h"
#include "updates/UpdateFile.h"

namespace rw {

// Shows an upgrade notice modally on the calling thread, without a parent window, and
// returns when the user has closed it. The record's url is what the notice's link opens.
class UpgradeNotice {
public:
    virtual ~UpgradeNotice() = default;
    virtual void Show(const std::wstring& caption, const std::wstring& message, const UpdateRecord& record) = 0;
};

// "Company_Product/short (platform part of the browser's agent)", blanks made "_", at most
// 1023 characters.
std::wstring BuildUserAgent(const std::wstring& company, const std::wstring& product, const std::wstring& shortVersion,
                            const std::string& browserAgent);
// "Accept-Language: en-GB\r\n", or the language alone when there is no country.
std::wstring BuildAcceptLanguage(const std::wstring& language, const std::wstring& country);
// http://<vendor host>/products/Restwell/downloads/?ver=<running version>
std::wstring UpdateFileAddress();

// The caption and message of the notice for a newer version of the given type.
struct NoticeTexts {
    std::wstring caption;
    std::wstring message;
};
NoticeTexts NoticeTextsFor(const UpdateRecord& record);

// What a check uses; all of it lives for the whole process.
struct UpgradeCheckServices {
    Http& http;
    MachineMarker& marker;
    Calendar& calendar;
    Locale& locale;
    UpgradeNotice& notice;
    // Written only through the channel, just before the matching message is posted.
    UpdateRecords& records;
};

constexpr std::int64_t kUpgradeRetryDelay = 300;

// One pass of the check (events 1 and 3). Schedules, posts and writes go through the
// channel and are dropped once the worker is stopped.
void UpgradeCheck(bool retry, nsHalden::WorkerChannel& channel, const SettingsIdentity& identity,
                  UpgradeCheckServices& services);

// At start-up and when a check was skipped: the upgrade and news state of the last check.
void LoadStoredUpdateState(const SettingsIdentity& identity, std::int64_t now, UpdateRecords& records);

}  // namespace rw
