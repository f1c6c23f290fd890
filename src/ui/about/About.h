// The About window (IDD_ABOUT): a header band with the product icon and name, the
// banner at the top right, a text with one link and OK. It doubles as the upgrade notice,
// which gives it its own caption, text and link target.
#pragma once
#include <windows.h>

#include <string>

#include "ui/shared/WindowServices.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "kit/ControlsPlus.h"
#include "kit/ImagePlus.h"
#include "updates/UpgradeCheck.h"

namespace rw {

class CdlgAbout : public rw::Dialog {
public:
    // titleFont: the product name's font, borrowed from the main window (null: the dialog's).
    explicit CdlgAbout(const rw::WindowServices& services, HFONT titleFont = nullptr);

    // The upgrade notice: caption and SysLink markup shown unchanged, the link opens target.
    void SetNotice(const std::wstring& caption, const std::wstring& message, const std::wstring& target);

    std::wstring m_strCaption;  // empty keeps "About"
    std::wstring m_strMessage;  // empty: the About text is built at initialisation
    RECT m_rectHeader{};
    nsHalden::CImagePlus m_imageBanner;
    int m_nBannerWidth = 161;
    int m_nBannerHeight = 57;
    nsHalden::CImagePlus m_imageTile;
    int m_nTileWidth = 0;
    std::wstring m_strProductText;
    std::wstring m_strLinkTarget;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& exchange) override;
    void OnDpiChanged(int dpi) override;

private:
    // The header band, the banner, the product name and the icon at the window's DPI.
    void LayOutHeader();
    void DrawHeader(HDC dc);
    void DrawBanner(const DRAWITEMSTRUCT& item);
    int Scaled(int pixels) const;

    const rw::WindowServices& services_;
    HFONT titleFont_;
    nsHalden::CStaticPlus m_staticBanner;
    rw::PenOwner m_penSecond;
    int dpi_ = 96;
};

// The upgrade notice the check hands over: the About window, modal, without a parent (so it
// has its own taskbar button); returns when the user has closed it.
void ShowUpgradeNotice(const rw::WindowServices& services, HFONT titleFont, const rw::UpgradeNoticeRequest& notice);

}  // namespace rw
