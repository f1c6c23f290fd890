#include "app/RestwellApp.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "core/ResourceString.h"
#include "framework/ResourceLanguage.h"
#include "framework/Window.h"
#include "kit/WizardBase.h"
#include "res/resource.h"
#include "platform/win32/MessagePosterWin32.h"
#include "platform/win32/ThreadStack.h"
#include "ui/main/Main.h"
#include "ui/wizard/WelcomeWizard.h"

namespace rw {

// The framework's prompts are in the program's string table.
static_assert(rw::kPromptEnterInteger == IDS_ENTER_INTEGER && rw::kPromptEnterIntegerRange == IDS_ENTER_INTEGER_RANGE);

namespace {

const COLORREF kBackgroundColor = RGB(187, 221, 255);

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

// ProductName of the executable's version block, in its first language and code page.
std::optional<std::wstring> ReadProductName(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
    void* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &length) || length < 4) {
        return std::nullopt;
    }
    const auto* pair = static_cast<const WORD*>(translation);
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", pair[0], pair[1]);
    void* value = nullptr;
    if (!VerQueryValueW(block.data(), query, &value, &length) || length == 0) return std::nullopt;
    std::wstring name(static_cast<const wchar_t*>(value));
    if (name.empty()) return std::nullopt;
    return name;
}

// Asks the running instance's main window to show itself, by a sent message that only it
// answers; false when no window answered (none yet, or the instance is ending).
bool ShowRunningInstance(UINT instanceMessage) {
    struct Search {
        UINT message;
        bool shown;
    } search{instanceMessage, false};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t name[16] = L"";
            if (!GetClassNameW(hwnd, name, 16) || std::wstring(name) != L"#32770") return TRUE;
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(hwnd, s.message, kInstanceShow, 0, SMTO_ABORTIFHUNG, 2000, &answer) &&
                static_cast<std::intptr_t>(answer) == kInstanceShown) {
                s.shown = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.shown;
}

// Waits for the holder of the life mutex to end; true once this thread holds it.
bool WaitForInstanceEnd(HANDLE life) {
    if (!life) return false;
    const DWORD result = WaitForSingleObject(life, kInstanceEndWaitMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

}  // namespace

// The adapters are members, so the identity and the seams can be handed over at once.
CRestwellApp::CRestwellApp()
    : AppShared(identity_, rw::Seams{inputClock_, calendar_, locale_}),
      identity_{kCompany, kProduct, &registry_, &unsaved_} {
    linkProduct = kProduct;
    webLauncher = &shellLauncher_;
    // The services live as long as the application object, which outlives the worker.
    upgradeCheck = [services = &upgradeServices_](bool retry, rw::WorkerChannel& channel,
                                                  const SettingsIdentity& identity) {
        rw::UpgradeCheck(retry, channel, identity, *services);
        // The worker sleeps until the next day's check: what its stack took for this one
        // (and for the thread's start) goes back.
        rw::ReleaseUnusedStack();
    };
}
CRestwellApp::~CRestwellApp() = default;

bool CRestwellApp::InitInstance() {
    // Every window is made on this thread: in the user's interface language, English else.
    rw::UseUserInterfaceLanguage(GetModuleHandleW(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);

    const std::wstring guid = kProgramGuid;
    instanceMessage = RegisterWindowMessageW((kInstanceMessagePrefix + guid).c_str());
    const std::wstring lifeName = kInstanceLifePrefix + guid;
    if (IsCloseRequest(CommandLine())) {
        // Returns once the running instance has ended, so that a start right after it runs.
        rw::KernelHandleOwner life(OpenMutexW(SYNCHRONIZE, FALSE, lifeName.c_str()));
        PostMessageW(HWND_BROADCAST, instanceMessage, kInstanceClose, 0);
        if (WaitForInstanceEnd(life.get())) ReleaseMutex(life.get());
        return false;
    }
    // Before the switches are read: a second start with any switches only activates the first.
    instanceEvent.reset(CreateEventW(nullptr, TRUE, TRUE, (kInstanceEventPrefix + guid).c_str()));
    const bool another = GetLastError() == ERROR_ALREADY_EXISTS;
    instanceLife.reset(CreateMutexW(nullptr, FALSE, lifeName.c_str()));
    if (another) {
        // Lets the running instance take the foreground, which this start holds now.
        AllowSetForegroundWindow(ASFW_ANY);
        if (ShowRunningInstance(instanceMessage)) return false;
    }
    // No window answered: the other instance is ending (or, without one, one is just ending).
    // Once it has ended this one runs; one that stays without a window is asked to show.
    if (!WaitForInstanceEnd(instanceLife.get()) && another) {
        PostMessageW(HWND_BROADCAST, instanceMessage, kInstanceShow, 0);
        return false;
    }

    modulePath = ModulePath();
    switches = InterpretSwitches(CommandLine());
    if (switches.respawn) {
        ShellExecuteW(nullptr, L"OPEN", modulePath.c_str(), L"", L"", SW_SHOWNORMAL);
        return false;
    }

    // The browser control of the news window needs OLE; the health tips are rich edit 2.0.
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    richEdit_.reset(LoadLibraryW(L"riched20.dll"));

    SetAppName(kProduct);

    osVersion.dwOSVersionInfoSize = sizeof osVersion;
    GetVersionExW(&osVersion);

    companyLegalName = L"Quillfen Ltd.";
    productName = kProduct;
    if (const auto name = ReadProductName(modulePath)) productName = *name;
    fullName = std::wstring(kCompany) + L" " + productName;
    SetAppName(productName);

    // The Finish button of a settings page shown alone reads "OK".
    nsHalden::SetFinishText(rw::ResourceText(IDS_OK));
    const WelcomeDecision welcome = DecideWelcome(identity, calendar_.Now(), switches.silent);
    welcomeTime = welcome.welcomeTime;
    if (welcome.step == WelcomeStep::RunWizard) {
        const std::optional<std::int64_t> finished = RunWelcomeWizard(Services(), LoadPlannedBreakList(identity));
        if (!finished) return false;
        welcomeTime = *finished;
        firstRun = true;
    } else if (welcome.step == WelcomeStep::FirstRunWithoutWizard) {
        firstRun = true;
    }

    LoadAppSettings();
    rw::LoadStoredUpdateState(identity, calendar_.Now(), updates);
    backgroundBrush.reset(CreateSolidBrush(kBackgroundColor));

    mainDialog_ = std::make_unique<CdlgMain>(
        *this, [](HWND window) { return std::make_shared<rw::WindowMessagePoster>(window); });
    if (!mainDialog_->Create()) return false;
    SetMainWindow(mainDialog_.get());
    if (firstRun || switches.welcomeNotification) mainDialog_->Tray().Icon().ShowWelcomeNotification();
    if (switches.showWindow) ShowWindow(mainDialog_->hwnd(), SW_SHOWNORMAL);

    SetExitCode(RunMessageLoop());
    SetMainWindow(nullptr);
    mainDialog_.reset();
    return false;
}

int CRestwellApp::RunMessageLoop() {
    MSG message{};
    // GetMessage fails (-1) only for a bad window handle, which a null filter never is; end
    // the loop then too rather than spin.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        const rw::Window* main = MainWindow();
        if (!main || !main->Exists()) continue;
        if (IsDialogMessageW(main->hwnd(), &message)) continue;
        PreTranslateMessage(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

int CRestwellApp::ExitInstance() {
    instanceEvent.reset();
    richEdit_.reset();
    if (oleInitialized_) OleUninitialize();
    oleInitialized_ = false;
    return Application::ExitInstance();
}

}  // namespace rw
