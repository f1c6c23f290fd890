// The Options sheet's Commercial Branding page: the organisation's identity (banner title
// and image) and its health information tab, stored for the whole machine.
#pragma once
#include <string>

#include "ui/shared/WindowServices.h"
#include "kit/EditBrowsePlus.h"
#include "ui/options/OptionsPage.h"

namespace rw {

class CppOptCommercial : public COptionsPage {
public:
    CppOptCommercial(const rw::WindowServices& services, rw::TrayPreview* preview);

    std::wstring m_strBrandTitle;
    std::wstring m_strBrandImage;
    std::wstring m_strHealthTitle;
    std::wstring m_strHealthContents;
    std::wstring m_strHealthLink;
    // A group is locked when its switch is set in policy or non-zero anywhere.
    bool m_bIdentityLocked = false;
    bool m_bHealthLocked = false;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& exchange) override;
    void OnOK() override;

private:
    void OnGo();

    const rw::WindowServices& services_;
    nsHalden::CEditBrowsePlus m_editImage;
};

}  // namespace rw
