// The application's state for the whole run: names, settings identity and seams, eco mode
// and branding, the shared images and brush, the welcome time, the upgrade and news records
// and the help and link operations. The application object owns it; the main window, which
// the application wires, reads it and asks it to reload; every other window receives only
// the read-only WindowServices.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Handles.h"
#include "settings/AppSettings.h"
#include "ui/shared/SharedImages.h"
#include "ui/shared/WindowServices.h"
#include "updates/ThreadScheduledEvents.h"
#include "updates/UpgradeCheck.h"

namespace rw {

class AppShared : public AppSettingsState, public Links {
public:
    AppShared(const SettingsIdentity& identity, const Seams& seams) : identity(identity), seams(seams) {}
    AppShared(const AppShared&) = delete;
    AppShared& operator=(const AppShared&) = delete;
    ~AppShared() override = default;

    // Eco mode and branding from the settings, and the shared images for them (tests count
    // the reloads by overriding).
    virtual void LoadAppSettings();
    // What the windows see of this state.
    const WindowServices& Services() const { return services_; }

    const SettingsIdentity& identity;
    const Seams seams;
    std::wstring productName = L"Restwell";
    std::wstring fullName;  // company and product name
    std::wstring companyLegalName;
    OSVERSIONINFOW osVersion{};
    std::int64_t welcomeTime = 0;  // when the welcome wizard was finished; 0 = unknown
    BrushOwner backgroundBrush;
    SharedImages images;
    UINT instanceMessage = 0;
    // The upgrade and news state: stored state at start-up, then each check's results; the
    // worker writes it, so it is read through copies under its lock.
    SharedUpdateRecords updates;
    // The check the main window's worker runs daily; empty: none.
    UpgradeCheckRoutine upgradeCheck;

private:
    const WindowServices services_{identity,         seams,     *this, productName, fullName,
                                   companyLegalName, osVersion, *this, images,      backgroundBrush};
};

}  // namespace rw
