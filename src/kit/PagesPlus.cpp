#include "kit/PagesPlus.h"

#include "core/ResourceString.h"
#include "framework/Application.h"

namespace nsHalden {

int CPropertyPagePlus::AddStringResourceItem(UINT stringId, HWND combo, DWORD_PTR itemData) {
    const std::wstring text = rw::ResourceText(stringId);
    const auto index = static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (index < 0) return -1;
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(itemData));
    return index;
}

bool CPropertyPagePlus::SelectItemByData(HWND combo, DWORD_PTR value) {
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (static_cast<DWORD_PTR>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return true;
        }
    }
    return false;
}

rw::InitFocus CPropertyPagePlus::OnInitDialog() {
    const rw::InitFocus focus = PropertyPage::OnInitDialog();
    if (m_nHelpContext != static_cast<DWORD>(-1)) SetContextHelpId(m_nHelpContext);
    return focus;
}

void CPropertySheetPlus::OnHelp() {
    rw::Application* app = rw::Application::Current();
    if (!app) return;
    if (const rw::PropertyPage* page = ActivePage()) {
        app->ShowHelp(page->ContextHelpId(), HELP_CONTEXT);
    } else {
        app->ShowHelp(0, HELP_CONTENTS);
    }
}

rw::MessageResult CPropertySheetPlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HELP: OnHelp(); return TRUE;
        case WM_COMMAND:
            // The framework's Help command, and the sheet's own Help button (which would
            // otherwise go to the page as PSN_HELP).
            if (LOWORD(wParam) == ID_HELP || LOWORD(wParam) == IDHELP) {
                OnHelp();
                return 0;
            }
            break;
    }
    return Sheet::Route(message, wParam, lParam);
}

}  // namespace nsHalden
