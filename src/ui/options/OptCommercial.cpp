#include "ui/options/OptCommercial.h"

#include "res/resource.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

constexpr DWORD kHelpContextCommercial = 53;

// The page's texts: control, stored value, and the group whose switch rules it.
struct BrandText {
    int control;
    rw::Setting setting;
    std::wstring CppOptCommercial::*field;
};
constexpr BrandText kTexts[] = {
    {IDC_OPT_BRAND_TITLE, rw::Setting::BrandTitle, &CppOptCommercial::m_strBrandTitle},
    {IDC_OPT_BRAND_IMAGE, rw::Setting::BrandImage, &CppOptCommercial::m_strBrandImage},
    {IDC_OPT_HEALTH_TITLE, rw::Setting::BrandHealthTitle, &CppOptCommercial::m_strHealthTitle},
    {IDC_OPT_HEALTH_CONTENTS, rw::Setting::BrandHealthContents, &CppOptCommercial::m_strHealthContents},
    {IDC_OPT_HEALTH_LINK, rw::Setting::BrandHealthLink, &CppOptCommercial::m_strHealthLink},
};

}  // namespace

CppOptCommercial::CppOptCommercial(const rw::WindowServices& services, rw::TrayPreview* preview)
    : COptionsPage(IDD_OPT_COMMERCIAL, kHelpContextCommercial, services.identity, preview), services_(services) {}

rw::MessageResult CppOptCommercial::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_OPT_HEALTH_GO && HIWORD(wParam) == BN_CLICKED) {
        OnGo();
        return 0;
    }
    return COptionsPage::Route(message, wParam, lParam);
}

void CppOptCommercial::ExchangeData(rw::DataExchange& exchange) {
    exchange.Control(IDC_OPT_BRAND_IMAGE, m_editImage);
    for (const BrandText& text : kTexts) exchange.Text(text.control, this->*text.field);
}

rw::InitFocus CppOptCommercial::OnInitDialog() {
    const rw::InitFocus focus = COptionsPage::OnInitDialog();
    m_editImage.EnableFileBrowseButton(IDS_FILTER_PICTURES, IDI_BROWSE, IDC_OPT_BRAND_IMAGE_BROWSE, IDS_BROWSE_IMAGE);
    SetGroupFonts({IDC_OPT_GROUP_IDENTITY, IDC_OPT_GROUP_HEALTH});

    // Each group's texts come from where its switch was read, and only when it allows them.
    const rw::BrandingGroupSwitch identity = rw::ReadBrandingSwitch(identity_, rw::Setting::BrandDisabled);
    const rw::BrandingGroupSwitch health = rw::ReadBrandingSwitch(identity_, rw::Setting::BrandHealthDisabled);
    m_bIdentityLocked = identity.locked();
    m_bHealthLocked = health.locked();
    for (const BrandText& text : kTexts) {
        const bool inIdentity = rw::GroupSwitchOf(text.setting) == rw::Setting::BrandDisabled;
        this->*text.field = rw::ReadGroupText(identity_, text.setting, inIdentity ? identity : health, kReadWhole);
        LimitAndCheck(text.control, text.setting, this->*text.field);
        if (inIdentity ? m_bIdentityLocked : m_bHealthLocked) EnableItem(text.control, false);
    }
    // A link imposed by policy can still be opened.
    EnableItem(IDC_OPT_HEALTH_GO, !(m_bHealthLocked && m_strHealthLink.empty()));
    UpdateData(rw::Direction::ToControls);
    return focus;
}

void CppOptCommercial::OnGo() {
    UpdateData(rw::Direction::FromControls);
    if (!m_strHealthLink.empty()) services_.links.OpenWebAddress(m_strHealthLink.c_str(), false);
}

void CppOptCommercial::OnOK() {
    UpdateData(rw::Direction::FromControls);
    // Only what the user could change is written. Without write rights to the machine's
    // settings the writes fail, and the values stay as they were.
    for (const BrandText& text : kTexts) {
        if (IsWindowEnabled(Item(text.control))) rw::WriteSettingString(identity_, text.setting, this->*text.field);
    }
}

}  // namespace rw
