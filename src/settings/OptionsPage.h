// What the three pages of the Options sheet share: the settings they read and write, the
// window their live previews go to, and the bold captions of their group boxes.
#pragma once
#include <windows.h>

#include "framework/Handles.h"
#include "kit/PagesPlus.h"
#include "settings/SettingsStore.h"
#include "settings/TrayPreview.h"

class COptionsPage : public nsHalden::CPropertyPagePlus {
public:
    // preview: the notification-area icon, which shows the choices live while the sheet is
    // open (nothing is previewed without one).
    COptionsPage(UINT templateId, DWORD helpContext, const SettingsIdentity& identity, rw::TrayPreview* preview);

protected:
    rw::TrayPreview* Preview() const { return preview_; }
    // The group boxes' captions in a bold form of the page's font.
    void SetGroupFonts(std::initializer_list<int> groupIds);

    const SettingsIdentity& identity_;

private:
    rw::TrayPreview* preview_;
    rw::FontOwner groupFont_;
};
