#include "updates/ThreadScheduledEvents.h"

#include "core/PrivateMessages.h"
#include "settings/SettingsCatalog.h"

using namespace rw;

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

void UpgradeCheckNotYetBuilt(bool retry) {
    (void)retry;
}

CThreadScheduledEvents::~CThreadScheduledEvents() {
    // OnEvent belongs to this part of the object: the thread must be done before it goes.
    StopThread(false);
}

bool CThreadScheduledEvents::Start(std::shared_ptr<rw::MessagePoster> owner, const SettingsIdentity& identity) {
    if (!IsRunning()) m_pOwner = std::move(owner);
    const std::int64_t now = calendar().Now();
    ScheduleAndWake(EVENT_UPGRADE_CHECK, FirstUpgradeCheckDue(now, ReadLastUpgradeCheck(identity)),
                    kUpgradeCheckInterval);
    return StartThread();
}

void CThreadScheduledEvents::OnEvent(std::int32_t id) {
    switch (id) {
        case EVENT_UPGRADE_CHECK: OnUpgradeCheck(false); break;
        case EVENT_UPGRADE_RETRY: OnUpgradeCheck(true); break;
        case EVENT_TRAY_ICON_RETRY: PostToOwner(WMU_TRAY_ICON, 2, 0); break;
        case EVENT_PLANNED_BREAK: PostToOwner(WMU_PLANNED_BREAK_DUE, 0, 0); break;
        default: break;
    }
}

void CThreadScheduledEvents::OnUpgradeCheck(bool retry) {
    UpgradeCheckNotYetBuilt(retry);
}

void CThreadScheduledEvents::PostToOwner(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (m_pOwner) m_pOwner->Post(message, wParam, lParam);  // a window that is gone: nothing happens
}
