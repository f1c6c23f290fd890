#include "settings/OptionsPage.h"

#include "core/PrivateMessages.h"

COptionsPage::COptionsPage(UINT templateId, DWORD helpContext, const SettingsIdentity& identity, HWND previewTarget)
    : CPropertyPagePlus(templateId), identity_(identity), previewTarget_(previewTarget) {
    m_nHelpContext = helpContext;
}

void COptionsPage::PostPreview(WPARAM request, LPARAM value) const {
    if (previewTarget_) PostMessageW(previewTarget_, WMU_TRAY_ICON, request, value);
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
