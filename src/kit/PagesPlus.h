// The kit's property page and property sheet: F1 and the Help button open the help topic of
// the page in front, and pages fill combo boxes from the string table.
#pragma once
#include <windows.h>

#include "framework/PropertyPage.h"
#include "framework/Sheet.h"

namespace nsHalden {

// WM_HELP as a page or the main window answers it: null when the message goes to the
// default handling (no application object, or Shift, Ctrl or Alt held down), else the
// context id and help command to ask the application for.
struct HelpRequest {
    DWORD contextId;
    UINT command;
};
bool IsModifierHeld();
bool HelpRequestFromMessage(LPARAM helpInfo, HelpRequest& request);

class CPropertyPagePlus : public rw::PropertyPage {
public:
    explicit CPropertyPagePlus(UINT templateId, const wchar_t* caption = nullptr) : PropertyPage(templateId, caption) {}

    // Loads the string, adds it to the combo box and, when that worked, sets its item data.
    // A missing string adds an empty item. Returns the item's index, -1 on failure.
    static int AddStringResourceItem(UINT stringId, HWND combo, DWORD_PTR itemData);
    // Selects the first item whose data equals value; false (selection unchanged) when none does.
    static bool SelectItemByData(HWND combo, DWORD_PTR value);

protected:
    // Set by each derived page in its constructor; -1 = none.
    DWORD m_nHelpContext = static_cast<DWORD>(-1);

    rw::InitFocus OnInitDialog() override;
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CPropertySheetPlus : public rw::Sheet {
public:
    using Sheet::Sheet;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnHelp();
};

// The framework's Help command id, which a sheet's Help button sends.
constexpr UINT ID_HELP = 57670;

}  // namespace nsHalden
