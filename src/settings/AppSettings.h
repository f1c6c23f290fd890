// Application-wide settings held by the application object: eco mode and the
// organisation's branding, and the organisation's health information.
#pragma once
#include <cstdint>
#include <string>

#include "settings/SettingsCatalog.h"

namespace rw {

struct AppSettingsState {
    bool ecoMode = false;
    bool brandingActive = false;
    bool brandTitleMultiLine = false;
    std::wstring brandTitle;  // "\n" pairs already turned into line breaks
    std::wstring brandImage;
};

// Reads "EcoMode" and the branding group into state. Returns true when the loaded banner
// image must be discarded because the branding changed. The caller then releases or loads
// the shared images for the eco mode.
bool LoadApplicationSettings(const SettingsIdentity& identity, AppSettingsState& state);

struct HealthBranding {
    BrandingGroupSwitch group;
    std::wstring title;     // as stored; "&" is doubled only where it is shown as a tab name
    std::wstring contents;  // "\n" pairs turned into line breaks
    std::wstring link;
};
HealthBranding LoadHealthBranding(const SettingsIdentity& identity);

// Every two-character "\n" sequence becomes a line break; reports whether there was one.
bool ExpandLineBreaks(std::wstring& text);

}  // namespace rw
