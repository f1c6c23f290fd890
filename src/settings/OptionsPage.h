// What the three pages of the Options sheet share: the settings they read and write, the
// window their live previews go to, and the bold captions of their group boxes.
#pragma once
#include <windows.h>

#include "framework/Handles.h"
#include "kit/PagesPlus.h"
#include "settings/SettingsStore.h"

class COptionsPage : public nsHalden::CPropertyPagePlus {
public:
    // previewTarget: the main window, which receives WMU_TRAY_ICON previews while the sheet
    // is open (none are posted without one).
    COptionsPage(UINT templateId, DWORD helpContext, const SettingsIdentity& identity, HWND previewTarget);

protected:
    // Posts WMU_TRAY_ICON with the request and its value to the preview target.
    void PostPreview(WPARAM request, LPARAM value) const;
    // The group boxes' captions in a bold form of the page's font.
    void SetGroupFonts(std::initializer_list<int> groupIds);

    const SettingsIdentity& identity_;

private:
    HWND previewTarget_;
    rw::FontOwner groupFont_;
};
