// The Options sheet's General page: product news, optional-upgrade pop-ups and eco mode.
#pragma once
#include "ui/options/OptionsPage.h"

namespace rw {

class CppOptGeneral : public COptionsPage {
public:
    CppOptGeneral(const SettingsIdentity& identity, rw::TrayPreview* preview);

    bool m_bNewsPopup = true;
    bool m_bUpgradePopup = true;
    bool m_bEcoMode = false;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& exchange) override;
    void OnOK() override;

private:
    void OnEcoModeClicked();

    // Per check box: its value is imposed by policy, so OK leaves the user's own alone.
    bool locked_[3] = {false, false, false};
};

}  // namespace rw
