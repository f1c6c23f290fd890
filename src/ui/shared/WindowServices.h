// What a window may use of the application, read-only: the settings identity and the seams,
// the names it shows, the eco mode and branding as last loaded with the images for them, and
// the help and link operations. The application owns all of it and hands each window this
// view by reference; no window writes into the application's state.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Handles.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/WebLauncher.h"
#include "settings/AppSettings.h"
#include "ui/shared/SharedImages.h"

namespace rw {

// The seams a window or the engine may need, all owned by the application object.
struct Seams {
    InputClock& inputClock;
    Calendar& calendar;
    Locale& locale;
};

// Help and web addresses for any window, opened through the launcher the application sets
// (none: nothing opens). Tests record the requests by overriding.
class Links {
public:
    virtual ~Links() = default;
    // The help root (HELP_CONTENTS, or context id 0 or -1) or the topic of the context id
    // (HELP_CONTEXT), in the default browser.
    virtual void ShowHelp(DWORD_PTR data, UINT command);
    // Opens an address in the default browser, with the program version added to a query
    // when addVersion is set; a browser that cannot be started is told in a message box.
    virtual void OpenWebAddress(const wchar_t* address, bool addVersion);
    virtual void OpenHealthHint(std::uint32_t hint);

    std::wstring linkProduct = L"Restwell";  // the product the help and hint addresses name
    WebLauncher* webLauncher = nullptr;
};

struct WindowServices {
    const SettingsIdentity& identity;
    const Seams seams;
    Links& links;
    const std::wstring& productName;
    const std::wstring& fullName;  // company and product name
    const std::wstring& companyLegalName;
    const OSVERSIONINFOW& osVersion;
    const AppSettingsState& branding;  // eco mode and the organisation's branding
    // The banner, its edge and the rating-bar images, with the sizes the windows lay out by.
    const SharedImages& images;
    const BrushOwner& backgroundBrush;

    bool EcoMode() const { return branding.ecoMode; }
    // The rating bar in an owner-drawn control (the caller fills the background); the
    // percentage of the bar without images is written in titleFont.
    void DrawAchievementBar(HDC dc, const RECT& rect, bool enable, float score, bool rising, HFONT titleFont) const {
        rw::DrawAchievementBar(dc, rect, enable, score, rising, images.BarImages(), titleFont);
    }
};

}  // namespace rw
