// The application object: start-up (single instance, switches, names, first-run decision,
// application settings, the main window) and the program's own message loop. It owns what
// the windows share for the whole run.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/about/About.h"
#include "ui/shared/AppShared.h"
#include "settings/StartupLogic.h"
#include "core/WebAddress.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "platform/win32/ClockWin32.h"
#include "platform/win32/HttpWinInet.h"
#include "platform/win32/SignatureVerifierCng.h"
#include "platform/win32/LocaleWin32.h"
#include "platform/win32/MachineMarkerWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "platform/win32/WebLauncherWin32.h"
#include "settings/UnsavedSettings.h"

namespace rw {

class CdlgMain;

// The settings identity of the program.
inline const wchar_t* const kCompany = L"Quillfen";
inline const wchar_t* const kProduct = L"Restwell";

// The application object: the program's start-up wires the seams' adapters, the settings
// identity and the shared state together and hands them to the windows.
class CRestwellApp : public rw::Application, public rw::AppShared {
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
    // The framework's help requests (F1, Help buttons) open the help in the browser.
    void ShowHelp(DWORD_PTR data, UINT command) override { rw::Links::ShowHelp(data, command); }

    std::wstring modulePath;  // at most 260 characters
    rw::KernelHandleOwner instanceEvent;
    rw::KernelHandleOwner instanceLife;  // owned by the main thread for the whole run

    // What this start asked for: the switches, and whether it is a first run. Both ask for
    // the welcome notification, which needs the main window's notification-area icon.
    rw::StartSwitches switches;
    bool firstRun = false;

private:
    // The seams' adapters, created here and nowhere else.
    rw::RegistryWin32 registry_;
    rw::InputClockWin32 inputClock_;
    rw::CalendarWin32 calendar_;
    rw::LocaleWin32 locale_;
    rw::UnsavedSettings unsaved_;
    SettingsIdentity identity_;
    rw::HttpWinInet http_;
    rw::MachineMarkerWin32 upgradeMarker_{rw::kUpgradeMarkerName};
    rw::SignatureVerifierCng signatureVerifier_;
    rw::UpgradeCheckServices upgradeServices_{http_, upgradeMarker_, calendar_, locale_, updates, signatureVerifier_};
    // Opens addresses in the default browser; a failure is told over the main window.
    rw::WebLauncherWin32 shellLauncher_{[this] {
                                            const rw::Window* main = MainWindow();
                                            return main ? main->hwnd() : nullptr;
                                        },
                                        [this] { return AppName(); }};

    std::unique_ptr<CdlgMain> mainDialog_;
    rw::ModuleOwner richEdit_;
    bool oleInitialized_ = false;
};

}  // namespace rw
