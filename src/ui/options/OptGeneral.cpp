#include "ui/options/OptGeneral.h"

#include <iterator>

#include "res/resource.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

constexpr DWORD kHelpContextGeneral = 51;

// The page's check boxes and the values they stand for.
struct CheckSetting {
    int control;
    rw::Setting setting;
    bool CppOptGeneral::*field;  // stored as a DWORD, 1 or 0
};
constexpr CheckSetting kChecks[] = {
    {IDC_OPT_NEWS_POPUP, rw::Setting::NewsPopup, &CppOptGeneral::m_bNewsPopup},
    {IDC_OPT_UPGRADE_POPUP, rw::Setting::UpgradePopupOpts, &CppOptGeneral::m_bUpgradePopup},
    {IDC_OPT_ECO_MODE, rw::Setting::EcoMode, &CppOptGeneral::m_bEcoMode},
};

}  // namespace

CppOptGeneral::CppOptGeneral(const SettingsIdentity& identity, rw::TrayPreview* preview)
    : COptionsPage(IDD_OPT_GENERAL, kHelpContextGeneral, identity, preview) {}

rw::MessageResult CppOptGeneral::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_OPT_ECO_MODE && HIWORD(wParam) == BN_CLICKED) {
        OnEcoModeClicked();
        return 0;
    }
    return COptionsPage::Route(message, wParam, lParam);
}

void CppOptGeneral::ExchangeData(rw::DataExchange& exchange) {
    for (const CheckSetting& check : kChecks) exchange.Check(check.control, this->*check.field);
}

rw::InitFocus CppOptGeneral::OnInitDialog() {
    const rw::InitFocus focus = COptionsPage::OnInitDialog();
    for (size_t i = 0; i < std::size(kChecks); ++i) {
        const CheckSetting& check = kChecks[i];
        // A missing value keeps the page's initial one; a value imposed by policy is shown locked.
        std::uint32_t value = this->*check.field ? 1 : 0;
        bool fromPolicy = false;
        if (rw::ReadSettingDwordRaw(identity_, check.setting, value, &fromPolicy)) {
            this->*check.field = value != 0;
            locked_[i] = fromPolicy;
            if (fromPolicy) EnableItem(check.control, false);
        }
    }
    SetGroupFonts({IDC_OPT_GROUP_NEWS, IDC_OPT_GROUP_UPGRADE, IDC_OPT_GROUP_ECO});
    UpdateData(rw::Direction::ToControls);
    if (Preview()) Preview()->PreviewEcoMode(m_bEcoMode);
    return focus;
}

void CppOptGeneral::OnEcoModeClicked() {
    UpdateData(rw::Direction::FromControls);
    if (Preview()) Preview()->PreviewEcoMode(m_bEcoMode);
}

void CppOptGeneral::OnOK() {
    UpdateData(rw::Direction::FromControls);
    // A locked value is the policy's, not the user's: the user's own choice stays stored for
    // the day the policy is lifted.
    for (size_t i = 0; i < std::size(kChecks); ++i) {
        if (locked_[i]) continue;
        rw::WriteSettingDword(identity_, kChecks[i].setting, this->*kChecks[i].field ? 1 : 0);
    }
}

}  // namespace rw
