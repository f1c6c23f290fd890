// The application object: start-up (single instance, switches, names, first-run decision,
// application settings, the main window) and the program's own message loop. It owns what
// the windows share for the whole run.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/StartupLogic.h"
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

    // Eco mode and branding from the settings.
    void LoadAppSettings();

    std::wstring modulePath;  // at most 260 characters
    std::wstring productName = L"Restwell";
    std::wstring fullName;  // company and product name
    std::wstring companyLegalName;
    OSVERSIONINFOW osVersion{};
    SettingsIdentity identity;
    std::int64_t welcomeTime = 0;  // when the welcome wizard was finished; 0 = unknown
    rw::BrushOwner backgroundBrush;
    rw::FontOwner titleFont;  // created by the main window
    // Layout sizes of the shared banner images until they are loaded.
    int bannerWidth = 180;
    int bannerHeight = 60;
    int bannerEdgeWidth = 11;
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
