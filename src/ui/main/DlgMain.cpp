#include "ui/main/DlgMain.h"

#include "app/StartupLogic.h"
#include "core/ResourceString.h"
#include "core/VersionQuad.h"
#include "res/resource.h"

namespace {

// The context-help id of the main window's help topic.
constexpr DWORD kHelpContextMain = 100;

}  // namespace

CdlgMain::CdlgMain(rw::AppShared& app) : Dialog(IDD_MAIN), app_(app) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hIconApp = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    m_iconAppSmall.reset(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
}

CdlgMain::~CdlgMain() {
    Destroy();
}

rw::MessageResult CdlgMain::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    // The instance message is registered at start-up, so it cannot be a case label.
    if (message == app_.instanceMessage && message != 0) {
        return OnInstanceMessage(wParam);
    }
    return Dialog::Route(message, wParam, lParam);
}

rw::InitFocus CdlgMain::OnInitDialog() {
    Dialog::OnInitDialog();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIconApp));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_iconAppSmall ? m_iconAppSmall.get() : m_hIconApp));
    SetContextHelpId(kHelpContextMain);
    std::wstring caption;
    if (rw::FormatResourceString(caption, IDS_MAIN_CAPTION, {app_.fullName, rw::kRunningVersionShort})) {
        SetText(caption);
    }
    return rw::InitFocus::Default;
}

LRESULT CdlgMain::OnInstanceMessage(WPARAM action) {
    if (action == rw::kInstanceShow) ShowMain();
    if (action == rw::kInstanceClose) Exit();
    return 0;
}

void CdlgMain::ShowMain() {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    BringWindowToTop(hwnd());
    SetForegroundWindow(hwnd());
    SetFocus(hwnd());
}

void CdlgMain::Exit() {
    DestroyWindow(hwnd());
    PostQuitMessage(0);
}
