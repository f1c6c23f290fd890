// The program's scheduled events: the daily upgrade and news check, its retry, the retry of
// the notification-area icon and the planned-break moment. The main window holds one; the
// worker talks back to it only by posting messages through the owner's poster.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Clock.h"
#include "platform/MessagePoster.h"
#include "settings/SettingsStore.h"
#include "core/ScheduledEventIds.h"
#include "updates/ThreadScheduledEventsManager.h"

constexpr std::int64_t kUpgradeCheckInterval = 86400;
constexpr std::int64_t kUpgradeCheckDelay = 60;  // after start-up, at the earliest

// The last successful upgrade check ("UpgradeCheck", HKLM section "Service", 8 bytes); 0
// when it cannot be read.
std::int64_t ReadLastUpgradeCheck(const SettingsIdentity& identity);
// When the first daily check runs: a day after the last successful one, but at least a
// minute after start-up; a last check more than a day in the future counts as none.
std::int64_t FirstUpgradeCheckDue(std::int64_t now, std::int64_t lastCheck);

// Stands in for the upgrade and news check until it is built: does nothing.
void UpgradeCheckNotYetBuilt(bool retry);

class CThreadScheduledEvents : public nsHalden::CThreadScheduledEventsManager {
public:
    explicit CThreadScheduledEvents(rw::Calendar& calendar) : CThreadScheduledEventsManager(calendar) {}
    ~CThreadScheduledEvents() override;

    // While the main window's dialog initialises: sets the owner (its window receives every
    // message the worker posts), schedules the daily check and starts the thread. The owner
    // is fixed from then on. False when the thread could not start.
    bool Start(std::shared_ptr<rw::MessagePoster> owner, const SettingsIdentity& identity);

protected:
    void OnEvent(std::int32_t id) override;
    // Events 1 and 3, on the worker thread. A check that takes long copies owner() and
    // StopToken() first (see the manager's header on lifetime).
    virtual void OnUpgradeCheck(bool retry);

    std::shared_ptr<rw::MessagePoster> owner() const { return m_pOwner; }

private:
    void PostToOwner(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    // Written before the thread starts and not after, so the worker reads it unlocked.
    std::shared_ptr<rw::MessagePoster> m_pOwner;
};
