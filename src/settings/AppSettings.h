// Application-wide settings held by the application object: eco mode and the
// organisation's branding, and the organisation's health information.
#pragma once
#include <cstdint>
#include <string>

#include "settings/SettingsStore.h"

namespace rw {

struct AppSettingsState {
    std::uint32_t ecoMode = 0;
    bool brandingActive = false;
    bool brandTitleMultiLine = false;
    std::wstring brandTitle;  // "\n" pairs already turned into line breaks
    std::wstring brandImage;
};

// Reads "EcoMode" and the branding group into state. Returns true when the loaded banner
// image must be discarded because the branding changed. The caller then releases or loads
// the shared images for the eco mode.
bool LoadApplicationSettings(const SettingsIdentity& identity, AppSettingsState& state);

// A branding group's switch ("BrandDisabled" or "BrandHealthDisabled"): the group's texts are
// read from the policy key when the switch was read there, and only when it is 0 or missing.
struct BrandingGroupSwitch {
    std::uint32_t disabled = 0;
    bool fromPolicy = false;
    bool read = false;
    bool textsEnabled() const { return disabled == 0; }
    // Options pages lock the group's controls when the switch is set in policy or non-zero anywhere.
    bool locked() const { return fromPolicy || disabled != 0; }
};
BrandingGroupSwitch ReadBrandingSwitch(const SettingsIdentity& identity, const wchar_t* switchName);
// A text of the group from the key the switch was read from; "" when missing.
std::wstring ReadBrandingText(const SettingsIdentity& identity, const BrandingGroupSwitch& group, const wchar_t* name,
                              std::uint32_t maxChars);

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
