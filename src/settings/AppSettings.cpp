#include "settings/AppSettings.h"

#include "settings/SettingsCatalog.h"

namespace rw {

bool ExpandLineBreaks(std::wstring& text) {
    bool found = false;
    for (size_t pos = text.find(L"\\n"); pos != std::wstring::npos; pos = text.find(L"\\n", pos + 1)) {
        text.replace(pos, 2, L"\n");
        found = true;
    }
    return found;
}

bool LoadApplicationSettings(const SettingsIdentity& identity, AppSettingsState& state) {
    std::uint32_t eco = 0;
    if (ReadSettingDwordIfStored(identity, Setting::EcoMode, eco)) state.ecoMode = eco != 0;  // kept when missing

    const bool wasActive = state.brandingActive;
    const std::wstring oldTitle = state.brandTitle;
    const std::wstring oldImage = state.brandImage;
    const BrandingGroupSwitch brand = ReadBrandingSwitch(identity, Setting::BrandDisabled);
    state.brandTitle = ReadGroupText(identity, Setting::BrandTitle, brand);
    state.brandImage = ReadGroupText(identity, Setting::BrandImage, brand);
    state.brandTitleMultiLine = ExpandLineBreaks(state.brandTitle);
    state.brandingActive = !state.brandTitle.empty() || !state.brandImage.empty();
    return state.brandingActive != wasActive || state.brandTitle != oldTitle || state.brandImage != oldImage;
}

HealthBranding LoadHealthBranding(const SettingsIdentity& identity) {
    HealthBranding health;
    health.group = ReadBrandingSwitch(identity, Setting::BrandHealthDisabled);
    health.title = ReadGroupText(identity, Setting::BrandHealthTitle, health.group);
    health.contents = ReadGroupText(identity, Setting::BrandHealthContents, health.group);
    ExpandLineBreaks(health.contents);
    health.link = ReadGroupText(identity, Setting::BrandHealthLink, health.group);
    return health;
}

}  // namespace rw
