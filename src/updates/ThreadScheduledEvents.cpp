#include "updates/ThreadScheduledEvents.h"

#include "core/PrivateMessages.h"
#include "settings/SettingsCatalog.h"

namespace rw {

std::int64_t ReadLastUpgradeCheck(const SettingsIdentity& identity) {
    std::int64_t last = 0;
    if (!ReadSettingInt64(identity, Setting::UpgradeCheck, last)) return 0;
    return last;
}

std::int64_t FirstUpgradeCheckDue(std::int64_t now, std::int64_t lastCheck) {
    if (lastCheck > now + kUpgradeCheckInterval) lastCheck = 0;  // a clock set back, or a bad value
    const std::int64_t nextDaily = lastCheck + kUpgradeCheckInterval;
    return (nextDaily > now ? nextDaily : now) + kUpgradeCheckDelay;
}

void UpgradeCheckNotYetBuilt(bool retry, rw::WorkerChannel& channel, const SettingsIdentity& identity) {
    (void)retry;
    (void)channel;
    (void)identity;
}

CThreadScheduledEvents::~CThreadScheduledEvents() {
    // OnEvent belongs to this part of the object: the thread must be done before it goes.
    StopThread(false);
}

bool CThreadScheduledEvents::Start(std::shared_ptr<rw::MessagePoster> owner, const SettingsIdentity& identity) {
    if (!IsRunning()) {
        SetPoster(std::move(owner));
        m_identity = identity;
    }
    const std::int64_t now = calendar().Now();
    Schedule(EVENT_UPGRADE_CHECK, FirstUpgradeCheckDue(now, ReadLastUpgradeCheck(identity)), kUpgradeCheckInterval);
    return StartThread();
}

void CThreadScheduledEvents::OnEvent(std::int32_t id) {
    rw::WorkerChannel channel = Channel();
    if (id == EVENT_UPGRADE_CHECK || id == EVENT_UPGRADE_RETRY) {
        // Copies: from here on the check uses nothing of this object.
        const UpgradeCheckRoutine check = m_upgradeCheck;
        const SettingsIdentity identity = m_identity;
        if (check) check(id == EVENT_UPGRADE_RETRY, channel, identity);
    } else if (id == EVENT_TRAY_ICON_RETRY) {
        channel.Post(WMU_TRAY_ICON, TRAY_ICON_RETRY_ADD, 0);  // a window that is gone: nothing happens
    } else if (id == EVENT_PLANNED_BREAK) {
        channel.Post(WMU_PLANNED_BREAK_DUE, 0, 0);
    }
}

}  // namespace rw
