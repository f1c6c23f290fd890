// The application object: start-up (single instance, switches, names, first-run decision,
// application settings, the main window) and the program's own message loop. It owns what
// the windows share for the whole run.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/SharedImages.h"
#include "app/StartupLogic.h"
#include "app/WebAddress.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "settings/AppSettings.h"

class CdlgMain;

// The eco mode and branding fields (ecoMode, brandingActive, brandTitleMultiLine,
// brandTitle, brandImage) come from AppSettingsState, which LoadAppSettings fills.
class CRestwellApp : public rw::Application, public AppSettingsState {
public:
    CRestwellApp();
    ~CRestwellApp() override;

    // Always false: the program's loop runs inside, and ExitInstance follows.
    bool InitInstance() override;
    // Closes the single-instance event, then the base behaviour.
    int ExitInstance() override;
    // The program's own loop: while the main window exists its dialog navigation sees each
    // message first, then PreTranslateMessage (whose answer is not asked), then translation
    // and dispatch; while it does not exist, messages are taken and dropped. Returns WM_QUIT's
    // code.
    int RunMessageLoop() override;

    // Help requests of every window: the help root (HELP_CONTENTS, or context id 0 or -1)
    // or the topic of the context id (HELP_CONTEXT), in the default browser.
    void ShowHelp(DWORD_PTR data, UINT command) override;
    // Opens an address in the default browser, with the program version added to a query
    // when addVersion is set; a browser that cannot be started is told in message 1103.
    void OpenWebAddress(const wchar_t* address, bool addVersion);
    void OpenHealthHint(std::uint32_t hint);
    // Where addresses are opened; tests put a recorder here. Null: the default browser.
    rw::WebLauncher* webLauncher = nullptr;

    // Eco mode and branding from the settings, and the shared images for them.
    void LoadAppSettings();
    // The rating bar in an owner-drawn control (the caller fills the background).
    void DrawAchievementBar(HDC dc, const RECT& rect, int enable, float score, bool rising) const;

    std::wstring modulePath;  // at most 260 characters
    std::wstring productName = L"Restwell";
    std::wstring fullName;  // company and product name
    std::wstring companyLegalName;
    OSVERSIONINFOW osVersion{};
    SettingsIdentity identity;
    std::int64_t welcomeTime = 0;  // when the welcome wizard was finished; 0 = unknown
    rw::BrushOwner backgroundBrush;
    rw::FontOwner titleFont;  // created by the main window
    // The banner, its edge and the rating-bar images, with the sizes the windows lay out by.
    SharedImages images;
    UINT instanceMessage = 0;
    rw::KernelHandleOwner instanceEvent;

    // What this start asked for: the switches, and whether it is a first run. Both ask for
    // the welcome notification, which needs the main window's notification-area icon.
    StartSwitches switches;
    bool firstRun = false;

private:
    std::unique_ptr<CdlgMain> mainDialog_;
    rw::ModuleOwner richEdit_;
    bool oleInitialized_ = false;
};

// The running application object; null when there is none (tests of single windows).
CRestwellApp* RestwellApp();
