// What the three pages of the Options sheet share: the settings they read and write, the
// window their live previews go to, and the bold captions of their group boxes.
#pragma once
#include <windows.h>

#include "framework/Handles.h"
#include "kit/PagesPlus.h"
#include <string>

#include "settings/SettingsCatalog.h"
#include "settings/SettingsStore.h"
#include "settings/TrayPreview.h"

namespace rw {

class COptionsPage : public nsHalden::CPropertyPagePlus {
public:
    // preview: the notification-area icon, which shows the choices live while the sheet is
    // open (nothing is previewed without one).
    COptionsPage(UINT templateId, DWORD helpContext, const SettingsIdentity& identity, rw::TrayPreview* preview);

    // Enough for any stored text the pages show, so a too-long one is read whole.
    static constexpr std::uint32_t kReadWhole = 32768;

protected:
    rw::TrayPreview* Preview() const { return preview_; }
    // The group boxes' captions in a bold form of the page's font.
    void SetGroupFonts(std::initializer_list<int> groupIds);
    // Limits the edit to the setting's length. A stored text that is longer (from a hand edit
    // or an older version) stays in the field whole and is reported once the page shows, so
    // it is neither cut nor silently replaced.
    void LimitAndCheck(int editId, rw::Setting setting, const std::wstring& stored);
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

    const SettingsIdentity& identity_;

private:
    rw::TrayPreview* preview_;
    std::wstring tooLong_;  // the report, shown when the page has opened
    rw::FontOwner groupFont_;
};

}  // namespace rw
