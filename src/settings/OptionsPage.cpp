#include "settings/OptionsPage.h"

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
