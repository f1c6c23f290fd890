#include "kit/PagesPlus.h"

#include "core/ResourceString.h"
#include "framework/Application.h"

namespace nsHalden {

bool IsModifierHeld() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

// A control without a context-help id has its parent's, as Windows documents; Wine reports
// the control's own 0, so the lookup is done here for both.
DWORD InheritedContextId(const HELPINFO& info) {
    if (info.dwContextId != 0 || info.iContextType != HELPINFO_WINDOW) return static_cast<DWORD>(info.dwContextId);
    for (HWND w = static_cast<HWND>(info.hItemHandle); w; w = GetAncestor(w, GA_PARENT)) {
        if (const DWORD id = GetWindowContextHelpId(w)) return id;
        if (!(GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return 0;
}

bool HelpRequestFromMessage(LPARAM helpInfo, HelpRequest& request) {
    if (!rw::Application::Current() || IsModifierHeld()) return false;
    const auto* info = reinterpret_cast<const HELPINFO*>(helpInfo);
    request = info ? HelpRequest{InheritedContextId(*info), HELP_CONTEXT} : HelpRequest{0, HELP_CONTENTS};
    return true;
}

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

rw::MessageResult CPropertyPagePlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) {
        HelpRequest request{};
        if (HelpRequestFromMessage(lParam, request)) {
            rw::Application::Current()->ShowHelp(request.contextId, request.command);
            return TRUE;
        }
    }
    return PropertyPage::Route(message, wParam, lParam);
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
