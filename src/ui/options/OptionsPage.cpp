#include "ui/options/OptionsPage.h"

#include "core/PrivateMessages.h"
#include "core/ResourceString.h"
#include "framework/Application.h"
#include "res/resource.h"

namespace rw {

namespace {

// Posted by a page to itself: its report of too-long values, once it is on the screen.
constexpr UINT WMU_REPORT_TOO_LONG = WM_APP + 0x41;

}  // namespace

COptionsPage::COptionsPage(UINT templateId, DWORD helpContext, const SettingsIdentity& identity,
                           rw::TrayPreview* preview)
    : CPropertyPagePlus(templateId), identity_(identity), preview_(preview) {
    m_nHelpContext = helpContext;
}

void COptionsPage::SetGroupFonts(std::initializer_list<int> groupIds) {
    if (!groupFont_) {
        LOGFONTW font{};
        if (!GetObjectW(reinterpret_cast<HFONT>(Send(WM_GETFONT)), sizeof font, &font)) return;
        font.lfWeight = FW_BOLD;
        groupFont_.reset(CreateFontIndirectW(&font));
    }
    for (int id : groupIds) SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(groupFont_.get()), FALSE);
}

void COptionsPage::LimitAndCheck(int editId, rw::Setting setting, const std::wstring& stored) {
    const rw::SettingInfo& info = rw::SettingInfoOf(setting);
    SendMessageW(Item(editId), EM_SETLIMITTEXT, info.maxChars, 0);
    if (stored.size() <= info.maxChars) return;
    std::wstring line;
    rw::FormatResourceString(line, IDS_VALUE_TOO_LONG,
                             {info.name, static_cast<int>(stored.size()), static_cast<int>(info.maxChars)});
    if (tooLong_.empty()) Post(WMU_REPORT_TOO_LONG);
    tooLong_ += (tooLong_.empty() ? L"" : L"\n\n") + line;
}

rw::MessageResult COptionsPage::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WMU_REPORT_TOO_LONG) {
        const rw::Application* app = rw::Application::Current();
        MessageBoxW(hwnd(), tooLong_.c_str(), app ? app->AppName().c_str() : L"", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return CPropertyPagePlus::Route(message, wParam, lParam);
}

}  // namespace rw
