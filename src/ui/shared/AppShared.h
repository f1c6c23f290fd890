// What the windows share for the whole run: names, settings identity and seams, eco mode and
// branding, the shared images, brush and title font, and the help and link operations. The
// application object owns it and hands it to each window by reference at construction.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/shared/SharedImages.h"
#include "framework/Handles.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "settings/AppSettings.h"
#include "updates/ThreadScheduledEvents.h"
#include "updates/UpgradeCheck.h"

namespace rw {

// The seams a window or the engine may need, all owned by the application object.
struct Seams {
    InputClock& inputClock;
    Calendar& calendar;
    Locale& locale;
};

class AppShared : public AppSettingsState {
public:
    AppShared(const SettingsIdentity& identity, const Seams& seams) : identity(identity), seams(seams) {}
    AppShared(const AppShared&) = delete;
    AppShared& operator=(const AppShared&) = delete;
    virtual ~AppShared() = default;

    // Eco mode and branding from the settings, and the shared images for them.
    virtual void LoadAppSettings() = 0;
    // Help requests of every window: the help root (HELP_CONTENTS, or context id 0 or -1)
    // or the topic of the context id (HELP_CONTEXT), in the default browser.
    virtual void ShowHelp(DWORD_PTR data, UINT command) = 0;
    // Opens an address in the default browser, with the program version added to a query
    // when addVersion is set; a browser that cannot be started is told in message 1103.
    virtual void OpenWebAddress(const wchar_t* address, bool addVersion) = 0;
    virtual void OpenHealthHint(std::uint32_t hint) = 0;
    // The rating bar in an owner-drawn control (the caller fills the background).
    void DrawAchievementBar(HDC dc, const RECT& rect, int enable, float score, bool rising) const;

    const SettingsIdentity& identity;
    const Seams seams;
    std::wstring productName = L"Restwell";
    std::wstring fullName;  // company and product name
    std::wstring companyLegalName;
    OSVERSIONINFOW osVersion{};
    std::int64_t welcomeTime = 0;  // when the welcome wizard was finished; 0 = unknown
    BrushOwner backgroundBrush;
    FontOwner titleFont;  // created by the main window
    // The banner, its edge and the rating-bar images, with the sizes the windows lay out by.
    SharedImages images;
    UINT instanceMessage = 0;
    // The upgrade and news state: stored state at start-up, then each check's results; the
    // worker writes it, so it is read through copies under its lock.
    SharedUpdateRecords updates;
    // The check the main window's worker runs daily; empty: none.
    UpgradeCheckRoutine upgradeCheck;
};

}  // namespace rw
