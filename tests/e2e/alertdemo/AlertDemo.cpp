// alert_demo: shows the alert pop-up the way the program does, for screenshots, until it is
// ended. The notification-area icon is added too (custom notifications).
//   alert_demo due|plain [eco]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "core/ResourceString.h"
#include "ui/notify/NotificationAlert.h"
#include "ui/notify/NotificationIcon.h"
#include "ui/shared/AppShared.h"
#include "platform/win32/ClockWin32.h"
#include "platform/win32/LocaleWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "res/resource.h"

namespace {

class DemoApp : public rw::AppShared {
public:
    DemoApp() : AppShared(identity_, rw::Seams{input_, calendar_, locale_}) {}
    void ShowHelp(DWORD_PTR, UINT) override {}
    void OpenWebAddress(const wchar_t*, bool) override {}
    void OpenHealthHint(std::uint32_t) override {}
    void LoadAppSettings() override {}

private:
    rw::RegistryWin32 registry_;
    rw::SettingsIdentity identity_{L"Quillfen", L"Restwell", &registry_};
    rw::InputClockWin32 input_;
    rw::CalendarWin32 calendar_;
    rw::LocaleWin32 locale_;
};

class DemoMain : public rw::AlertMainWindow, public rw::NotificationIconOwner, public rw::EventScheduler {
public:
    explicit DemoMain(HWND window) : window_(window) {}
    float Rating() const override { return 62.0f; }
    bool RatingRising() const override { return true; }
    HWND IconOwnerWindow() override { return window_; }
    // As the main window loads them: at the small-icon size.
    HICON IconById(int id) override {
        return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    HMENU TrayBreakMenu() override { return nullptr; }
    void RunEngineTick(bool) override {}
    void ShowMainWindow() override {}
    bool RemindersEnabled() const override { return true; }
    void SetAlertBreakDue(bool) override {}
    void IconAdded() override {}
    void Schedule(std::int32_t, std::int64_t, std::int64_t) override {}
    bool Remove(std::int32_t) override { return false; }
    void Wake() override {}

private:
    HWND window_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    // The rating bar's PNGs are decoded through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring args = commandLine;
    const bool due = args.find(L"due") != std::wstring::npos;
    const bool eco = args.find(L"eco") != std::wstring::npos;

    DemoApp app;
    app.fullName = L"Quillfen Restwell";
    app.osVersion.dwOSVersionInfoSize = sizeof app.osVersion;
    GetVersionExW(&app.osVersion);
    app.ecoMode = eco;
    app.images.Apply(app, false, instance);

    HWND owner = CreateWindowExW(0, L"STATIC", L"Restwell demo owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 instance, nullptr);
    DemoMain main(owner);
    rw::CdlgNotificationAlert alert(app.Services());
    alert.m_pMain = &main;
    alert.SetCommandTarget(owner);
    rw::CNotificationIcon icon(app.Services(), main, main, &alert);
    icon.Init(rw::NOTIFY_STYLE_SYSTEM_CUSTOM, app.osVersion, owner, rw::kNotificationIconGuid, &alert);
    icon.Add(main.IconById(IDI_PROGRAM), L"Restwell");
    icon.SetEcoMode(eco);

    alert.m_bBreakDue = due;
    alert.m_nPlannedMinutes = due ? 12 : -1;
    // The program's own texts, in the language its resources are loaded in.
    std::wstring extra, message;
    rw::FormatResourceString(extra, IDS_PLANNED_MINUTES, {std::wstring(L"Lunch"), 12});
    if (due) {
        rw::FormatResourceString(message, IDS_BREAK_REMINDER, {55, 5});
        icon.ShowNotification(&extra, message.c_str(), main.IconById(IDI_BREAK_DUE), 0);
    } else {
        icon.ShowNotification(nullptr, rw::ResourceText(IDS_WELCOME_ENABLED).c_str(), nullptr, 0);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    icon.Delete();
    return 0;
}
