// The kit's property page and property sheet: pages carry their help topic (F1 itself is the
// framework's), the sheet's F1 and Help button open the topic of the page in front, and pages
// fill combo boxes from the string table.
#pragma once
#include <windows.h>

#include "framework/PropertyPage.h"
#include "framework/Sheet.h"

namespace nsHalden {

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
};

class CPropertySheetPlus : public rw::Sheet {
public:
    using Sheet::Sheet;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    // F1 and the Help button: the topic of the page in front, or the help root.
    virtual void OnHelp();
};

// The framework's Help command id, which a sheet's Help button sends.
constexpr UINT ID_HELP = 57670;

}  // namespace nsHalden
