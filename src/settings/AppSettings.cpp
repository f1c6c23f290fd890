#include "settings/AppSettings.h"

#include "settings/SettingsCatalog.h"

namespace rw {

namespace {
const wchar_t* const kService = L"Service";
}

bool ExpandLineBreaks(std::wstring& text) {
    bool found = false;
    for (size_t pos = text.find(L"\\n"); pos != std::wstring::npos; pos = text.find(L"\\n", pos + 1)) {
        text.replace(pos, 2, L"\n");
        found = true;
    }
    return found;
}

BrandingGroupSwitch ReadBrandingSwitch(const SettingsIdentity& identity, const wchar_t* switchName) {
    BrandingGroupSwitch group;
    std::uint32_t value = 0;
    const wchar_t* company = identity.company.c_str();
    const wchar_t* product = identity.product.c_str();
    if (Succeeded(SettingsGetDword(identity.store(), kHkeyLocalMachine, true, company, product, kService, switchName, value))) {
        group.fromPolicy = true;
        group.read = true;
    } else if (Succeeded(SettingsGetDword(identity.store(), kHkeyLocalMachine, false, company, product, kService, switchName, value))) {
        group.read = true;
    }
    group.disabled = group.read ? value : 0;
    return group;
}

std::wstring ReadBrandingText(const SettingsIdentity& identity, const BrandingGroupSwitch& group, const wchar_t* name,
                              std::uint32_t maxChars) {
    std::wstring text;
    SettingsReadText(identity, group.fromPolicy ? ROOT_MACHINE_POLICY : kHkeyLocalMachine, kService, name,
                     maxChars + 1, text);
    return text;
}

bool LoadApplicationSettings(const SettingsIdentity& identity, AppSettingsState& state) {
    SettingsGetDwordOr(identity, nullptr, state.ecoMode, ROOT_USER_OVERLAY, nullptr, L"EcoMode");

    const bool wasActive = state.brandingActive;
    const std::wstring oldTitle = state.brandTitle;
    const std::wstring oldImage = state.brandImage;
    state.brandingActive = false;
    state.brandTitle.clear();
    state.brandImage.clear();

    const BrandingGroupSwitch brand = ReadBrandingSwitch(identity, L"BrandDisabled");
    if (brand.textsEnabled()) {
        state.brandTitle = ReadBrandingText(identity, brand, L"BrandTitle", SettingInfoOf(Setting::BrandTitle).maxChars);
        state.brandImage = ReadBrandingText(identity, brand, L"BrandImage", SettingInfoOf(Setting::BrandImage).maxChars);
        if (!state.brandTitle.empty()) {
            state.brandingActive = true;
            state.brandTitleMultiLine = ExpandLineBreaks(state.brandTitle);
        }
        if (!state.brandImage.empty()) state.brandingActive = true;
    }
    return state.brandingActive != wasActive || state.brandTitle != oldTitle || state.brandImage != oldImage;
}

HealthBranding LoadHealthBranding(const SettingsIdentity& identity) {
    HealthBranding health;
    health.group = ReadBrandingSwitch(identity, L"BrandHealthDisabled");
    if (health.group.textsEnabled()) {
        health.title = ReadBrandingText(identity, health.group, L"BrandHealthTitle",
                                        SettingInfoOf(Setting::BrandHealthTitle).maxChars);
        health.contents = ReadBrandingText(identity, health.group, L"BrandHealthContents",
                                           SettingInfoOf(Setting::BrandHealthContents).maxChars);
        ExpandLineBreaks(health.contents);
        health.link = ReadBrandingText(identity, health.group, L"BrandHealthLink",
                                       SettingInfoOf(Setting::BrandHealthLink).maxChars);
    }
    return health;
}

}  // namespace rw
