// The Options sheet's Notifications page: how the icon and its reminders are shown (the
// notification style) and the sound file of the custom notifications, with a live preview
// of the chosen style.
#pragma once
#include <cstdint>
#include <string>

#include "framework/Handles.h"
#include "kit/EditBrowsePlus.h"
#include "ui/options/OptionsPage.h"

namespace rw {

class CppOptCompatibility : public COptionsPage {
public:
    CppOptCompatibility(const SettingsIdentity& identity, rw::TrayPreview* preview);

    std::uint32_t m_nStyleAtOpen = 0;
    std::uint32_t m_nStyle = 0;    // the opener's current style before the page opens
    bool m_bPreviewShown = false;  // a style was picked while the sheet was open
    int m_nUseSoundFile = 0;       // the radio group: 0 default sound, 1 sound file
    std::wstring m_strSoundPath;   // the opener gives the stored path

    // The style of the list's selected entry; the opening style when none is selected.
    std::uint32_t SelectedStyle() const;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& exchange) override;
    void OnOK() override;

private:
    void UpdateSoundControls();
    void OnStyleChosen();
    void OnSoundPathChanged();
    void OnPlay();

    nsHalden::CEditBrowsePlus m_editSound;
    rw::IconOwner m_iconPlay;
    // Guards against the page's own text updates being taken for the user's.
    bool updating_ = false;
};

}  // namespace rw
