#include "framework/Application.h"

#include "core/ResourceString.h"
#include "framework/Window.h"

namespace rw {
namespace {

Application* g_application = nullptr;

}  // namespace

Application::Application() {
    if (!g_application) g_application = this;
}

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

Application* Application::Current() {
    return g_application;
}

int Application::Run(HINSTANCE instance, const wchar_t* commandLine) {
    instance_ = instance;
    commandLine_ = commandLine ? commandLine : L"";
    if (InitInstance()) exitCode_ = RunMessageLoop();
    return ExitInstance();
}

void Application::ShowHelp(DWORD_PTR, UINT) {}

bool Application::PreTranslateMessage(MSG&) {
    return false;
}

int Application::RunMessageLoop() {
    MSG message{};
    // GetMessage fails (-1) only for a bad window handle, which a null filter never is; end
    // the loop then too rather than spin.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND main = mainWindow_ ? mainWindow_->hwnd() : nullptr;
        if (main && IsWindow(main) && IsDialogMessageW(main, &message)) continue;
        if (PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void Application::SetRegistryKey(const std::wstring& company, Registry& registry) {
    profile_ = SettingsIdentity{company, appName_, &registry};
}

std::uint32_t Application::GetProfileInt(const wchar_t* section, const wchar_t* name,
                                         std::uint32_t defaultValue) const {
    std::uint32_t value = defaultValue;
    if (!profile_.company.empty()) SettingsGetDwordOr(profile_, nullptr, value, kHkeyCurrentUser, section, name);
    return value;
}

bool Application::WriteProfileInt(const wchar_t* section, const wchar_t* name, std::uint32_t value) const {
    if (profile_.company.empty()) return false;
    return Succeeded(
        SettingsSetDword(profile_.store(), kHkeyCurrentUser, profile_.company.c_str(), profile_.product.c_str(), section, name, value));
}

int Application::ShowMessage(UINT textId, UINT type) const {
    return MessageBoxFromString(GetActiveWindow(), textId, type);
}

int MessageBoxFromString(HWND owner, UINT textId, UINT type) {
    const std::wstring text = ResourceText(textId);
    const Application* app = Application::Current();
    const std::wstring title = app ? app->AppName() : std::wstring();
    return MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

}  // namespace rw
