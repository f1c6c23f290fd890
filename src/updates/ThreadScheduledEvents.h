// The program's scheduled events: the daily upgrade and news check, its retry, the retry of
// the notification-area icon and the planned-break moment. The main window holds one; the
// worker talks back to it only by posting messages through the owner's poster.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Clock.h"
#include "platform/MessagePoster.h"
#include "settings/SettingsStore.h"
#include "core/ScheduledEventIds.h"
#include "updates/ThreadScheduledEventsManager.h"

namespace rw {

constexpr std::int64_t kUpgradeCheckInterval = 86400;
// After start-up, at the earliest. A test build of the program may compile it shorter; the
// program itself has no way to change it.
#ifndef RESTWELL_FIRST_CHECK_DELAY
#define RESTWELL_FIRST_CHECK_DELAY 60
#endif
constexpr std::int64_t kUpgradeCheckDelay = RESTWELL_FIRST_CHECK_DELAY;

// The last successful upgrade check ("UpgradeCheck", HKLM section "Service", 8 bytes); 0
// when it cannot be read.
std::int64_t ReadLastUpgradeCheck(const SettingsIdentity& identity);
// When the first daily check runs: a day after the last successful one, but at least a
// minute after start-up; a last check more than a day in the future counts as none.
std::int64_t FirstUpgradeCheckDue(std::int64_t now, std::int64_t lastCheck);

// The upgrade and news check (EVENT_UPGRADE_CHECK and its retry), on the worker thread. It may
// take long and outlive the events object, so it gets only the channel (its schedules, posts and
// writes) and a copy of the identity, nothing of the object.
using UpgradeCheckRoutine =
    std::function<void(bool retry, rw::WorkerChannel& channel, const SettingsIdentity& identity)>;
// Stands in for the upgrade and news check until it is built: does nothing.
void UpgradeCheckNotYetBuilt(bool retry, rw::WorkerChannel& channel, const SettingsIdentity& identity);

class CThreadScheduledEvents : public rw::CThreadScheduledEventsManager {
public:
    explicit CThreadScheduledEvents(rw::Calendar& calendar, UpgradeCheckRoutine upgradeCheck = UpgradeCheckNotYetBuilt,
                                    std::chrono::milliseconds stopWaitBound = kStopWaitBound)
        : CThreadScheduledEventsManager(calendar, stopWaitBound), m_upgradeCheck(std::move(upgradeCheck)) {}
    ~CThreadScheduledEvents() override;

    // While the main window's dialog initialises: sets the owner (its window receives every
    // message the worker posts), schedules the daily check and starts the thread. The owner
    // is fixed from then on. False when the thread could not start.
    bool Start(std::shared_ptr<rw::MessagePoster> owner, const SettingsIdentity& identity);

protected:
    void OnEvent(std::int32_t id) override;

private:
    // Both written before the thread starts and not after, so the worker reads them unlocked.
    UpgradeCheckRoutine m_upgradeCheck;
    SettingsIdentity m_identity;
};

}  // namespace rw
