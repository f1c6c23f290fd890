#include "ui/about/About.h"

#include <commctrl.h>
#include <objbase.h>

#include "core/WebAddress.h"
#include "core/ResourceString.h"
#include "core/VersionQuad.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "updates/UpdateFile.h"

namespace rw {

namespace {

constexpr int kEcoHeaderHeight = 44;
constexpr COLORREF kSecondLine = RGB(255, 255, 255);

}  // namespace

CdlgAbout::CdlgAbout(const rw::WindowServices& services, HFONT titleFont)
    : Dialog(IDD_ABOUT), services_(services), titleFont_(titleFont) {
    m_strProductText = services.productName;
    m_strLinkTarget = rw::HomePageAddress();
}

void CdlgAbout::SetNotice(const std::wstring& caption, const std::wstring& message, const std::wstring& target) {
    m_strCaption = caption;
    m_strMessage = message;
    m_strLinkTarget = target;
}

void CdlgAbout::ExchangeData(rw::DataExchange& exchange) {
    exchange.Text(IDC_ABOUT_PRODUCT, m_strProductText);
    exchange.Control(IDC_BANNER, m_staticBanner);
}

int CdlgAbout::Scaled(int pixels) const {
    return rw::ScaleToDpi(pixels, dpi_);
}

rw::InitFocus CdlgAbout::OnInitDialog() {
    Dialog::OnInitDialog();  // binds the controls and pushes the product name
    dpi_ = rw::WindowDpi(hwnd());
    if (m_strMessage.empty()) {
        std::wstring copyright;
        rw::FormatResourceString(copyright, IDS_COPYRIGHT, {services_.companyLegalName});
        rw::FormatResourceString(m_strMessage, IDS_ABOUT_TEXT,
                                 {rw::kRunningVersionText, copyright, std::wstring(rw::VendorHost())});
    }
    if (!m_strCaption.empty()) SetText(m_strCaption);
    SetWindowTextW(Item(IDC_ABOUT_TEXT), m_strMessage.c_str());
    if (!GetParent(hwnd())) {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    }
    if (titleFont_) SendMessageW(Item(IDC_ABOUT_PRODUCT), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);

    const HMODULE module = GetModuleHandleW(nullptr);
    const bool eco = services_.EcoMode();
    if (!eco && m_imageBanner.IsNull() && SUCCEEDED(m_imageBanner.LoadPngResource(module, IDB_BANNER))) {
        m_nBannerWidth = m_imageBanner.Width();
        m_nBannerHeight = m_imageBanner.Height();
    }
    if (!eco && SUCCEEDED(m_imageTile.LoadPngResource(module, IDB_HEADER_TILE))) m_nTileWidth = m_imageTile.Width();
    m_penSecond.reset(CreatePen(PS_SOLID, 1, kSecondLine));
    LayOutHeader();
    m_staticBanner.SetCursor(LoadCursorW(nullptr, IDC_HAND));
    m_staticBanner.SetTooltipText(rw::VendorHost());
    m_staticBanner.EnableToolTips();
    SetWindowTextW(m_staticBanner.hwnd(), services_.companyLegalName.c_str());  // its accessible name
    // Over the main window when it is shown; the upgrade notice has no owner: the work area.
    rw::CentreOverOwner(hwnd());
    return rw::InitFocus::Default;
}

void CdlgAbout::LayOutHeader() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    m_rectHeader = client;
    m_rectHeader.bottom = client.top + Scaled(services_.EcoMode() ? kEcoHeaderHeight : m_nBannerHeight);
    const int bannerWidth = Scaled(m_nBannerWidth);
    SetWindowPos(m_staticBanner.hwnd(), nullptr, client.right - bannerWidth, 0, bannerWidth, Scaled(m_nBannerHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT name{};
    GetWindowRect(Item(IDC_ABOUT_PRODUCT), &name);
    SetWindowPos(Item(IDC_ABOUT_PRODUCT), nullptr, Scaled(44), 0, name.right - name.left, Scaled(44),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Item(IDC_ABOUT_ICON), nullptr, Scaled(6), Scaled(6), 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CdlgAbout::OnDpiChanged(int dpi) {
    dpi_ = dpi;
    LayOutHeader();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CdlgAbout::DrawHeader(HDC dc) {
    if (!m_imageTile.IsNull() && m_nTileWidth > 0) {
        const int height = m_rectHeader.bottom - m_rectHeader.top;
        const int width = Scaled(m_nTileWidth);
        for (int x = 0; x < m_rectHeader.right; x += width) {
            m_imageTile.Draw(dc, x, m_rectHeader.top, width, height, 0, 0, m_imageTile.Width(), m_imageTile.Height());
        }
        return;
    }
    FillRect(dc, &m_rectHeader, services_.backgroundBrush.get());
    {
        rw::SelectionGuard pen(dc, GetStockObject(BLACK_PEN));
        MoveToEx(dc, m_rectHeader.left, m_rectHeader.bottom, nullptr);
        LineTo(dc, m_rectHeader.right, m_rectHeader.bottom);
    }
    rw::SelectionGuard pen(dc, m_penSecond.get());
    MoveToEx(dc, m_rectHeader.left, m_rectHeader.bottom + 1, nullptr);
    LineTo(dc, m_rectHeader.right, m_rectHeader.bottom + 1);
}

void CdlgAbout::DrawBanner(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    if (!m_imageBanner.IsNull()) {
        rw::BrushOwner back(CreateSolidBrush(GetBkColor(dc)));
        FillRect(dc, &item.rcItem, back.get());
        m_imageBanner.Draw(dc, 0, 0, Scaled(m_nBannerWidth), Scaled(m_nBannerHeight), 0, 0, m_imageBanner.Width(),
                           m_imageBanner.Height());
        return;
    }
    rw::SelectionGuard font(dc, titleFont_);
    const int mode = SetBkMode(dc, TRANSPARENT);
    RECT box = item.rcItem;
    box.bottom = box.top + Scaled(kEcoHeaderHeight);
    DrawTextW(dc, services_.companyLegalName.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, mode);
}

rw::MessageResult CdlgAbout::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            DefaultProcessing(message, wParam, lParam);
            DrawHeader(reinterpret_cast<HDC>(wParam));
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != IDC_BANNER) break;
            DrawBanner(item);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            if (id != IDC_ABOUT_PRODUCT && id != IDC_ABOUT_ICON) break;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(services_.backgroundBrush.get());
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BANNER && HIWORD(wParam) == STN_CLICKED) {
                services_.links.OpenWebAddress(rw::HomePageAddress().c_str(), true);
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom == IDC_ABOUT_TEXT && (header.code == NM_CLICK || header.code == NM_RETURN)) {
                // Addresses from a downloaded file are opened only when they are web addresses.
                if (rw::IsWebAddress(rw::PrepareWebAddress(m_strLinkTarget, false).open)) {
                    services_.links.OpenWebAddress(m_strLinkTarget.c_str(), true);
                }
                return 0;
            }
            break;
        }
    }
    return Dialog::Route(message, wParam, lParam);
}

void ShowUpgradeNotice(const rw::WindowServices& services, HFONT titleFont, const rw::UpgradeNoticeRequest& request) {
    CdlgAbout notice(services, titleFont);
    notice.SetNotice(request.caption, request.message, request.record.url);
    notice.RunModal(nullptr);
}

}  // namespace rw
