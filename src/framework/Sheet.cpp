#include "framework/Sheet.h"

#include "framework/Application.h"
#include "framework/Dpi.h"

namespace rw {

void Sheet::AddPage(PropertyPage& page) {
    page.sheet_ = this;
    pages_.push_back(&page);
}

PropertyPage* Sheet::ActivePage() const {
    HWND current = hwnd() ? PropSheet_GetCurrentPageHwnd(hwnd()) : nullptr;
    if (!current) return nullptr;
    for (PropertyPage* page : pages_) {
        if (page->hwnd() == current) return page;
    }
    return nullptr;
}

int Sheet::ActiveIndex() const {
    const PropertyPage* active = ActivePage();
    for (size_t i = 0; active && i < pages_.size(); ++i) {
        if (pages_[i] == active) return static_cast<int>(i);
    }
    return -1;
}

INT_PTR Sheet::RunModal() {
    if (pages_.empty()) return -1;
    HINSTANCE instance = instance_;
    if (!instance) {
        const Application* app = Application::Current();
        instance = app && app->Instance() ? app->Instance() : GetModuleHandleW(nullptr);
    }
    std::vector<PROPSHEETPAGEW> descriptions;
    for (PropertyPage* page : pages_) {
        page->firstActivation_ = true;
        descriptions.push_back(page->Describe(instance));
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    // Modeless, with a loop of our own below: the sheet and its first page exist when
    // PropertySheet returns, so OnInitDialog runs after the system's initialisation.
    header.dwFlags = flags_ | PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hwndParent = parent_;
    header.hInstance = instance;
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.nStartPage = startPage_;
    header.ppsp = descriptions.data();
    if (watermarkId_) header.pszbmWatermark = MAKEINTRESOURCEW(watermarkId_);
    if (headerId_) header.pszbmHeader = MAKEINTRESOURCEW(headerId_);
    if (watermarkBitmap_) {
        header.dwFlags |= PSH_USEHBMWATERMARK;
        header.hbmWatermark = watermarkBitmap_;
    }
    if (headerBitmap_) {
        header.dwFlags |= PSH_USEHBMHEADER;
        header.hbmHeader = headerBitmap_;
    }

    result_ = IDCANCEL;
    dpi_ = createdDpi_ = 0;  // the first page comes inside PropertySheet, at whatever DPI the system gives it
    const auto created = PropertySheetW(&header);
    HWND sheet = reinterpret_cast<HWND>(created);
    if (created == 0 || created == -1 || !::IsWindow(sheet)) {
        Detach();
        return -1;
    }
    if (!Subclass(sheet)) Attach(sheet);
    TakeOverDialogScaling(sheet);
    dpi_ = WindowDpi(sheet);
    createdDpi_ = dpi_;
    const bool disableOwner = parent_ && IsWindowEnabled(parent_);
    if (disableOwner) EnableWindow(parent_, FALSE);
    OnInitDialog();

    // A modeless sheet has ended when it has no current page any more.
    MSG message{};
    while (PropSheet_GetCurrentPageHwnd(sheet)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Hand WM_QUIT on to the loop that called us.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!PropSheet_IsDialogMessage(sheet, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Enabled again before the sheet goes, so that the owner is activated in its place.
    if (disableOwner) EnableWindow(parent_, TRUE);
    DestroyWindow(sheet);
    Detach();
    fonts_.clear();  // the controls that used them are gone
    dpi_ = createdDpi_ = 0;
    return result_;
}

MessageResult Sheet::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        const int dpi = HIWORD(wParam);
        if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam)) {
            SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (dpi_ > 0 && dpi > 0 && dpi != dpi_) {
            std::vector<FontOwner> fonts;
            ScaleLayout(hwnd(), dpi_, dpi, false, fonts);
            fonts_ = std::move(fonts);  // the old copies go once no control uses them
            dpi_ = dpi;
        }
        return 0;
    }
    return Window::Route(message, wParam, lParam);
}

bool Sheet::FollowDpi(HWND page) {
    // The dialog manager lays a new page out at the DPI its window has; a DPI change the
    // sheet was told of but the system does not report (or an older system) differs from it.
    const int laidOut = WindowDpi(page);
    if (dpi_ > 0 && laidOut != dpi_) ScaleLayout(page, laidOut, dpi_, false, fonts_);
    // A tabbed sheet places a page in its tab control's display area, which has moved with
    // the sheet; a wizard measures the page in dialog units of the DPI it was created at.
    return IsWizard() && dpi_ > 0 && createdDpi_ > 0 && dpi_ != createdDpi_;
}

void Sheet::PlaceLaterPage(HWND page) const {
    // Where the system put the page, in the sheet's client area.
    RECT given{};
    GetWindowRect(page, &given);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&given), 2);
    const auto scaled = [&](LONG value) { return MulDiv(value, dpi_, createdDpi_); };
    RECT area{scaled(given.left), scaled(given.top), scaled(given.right), scaled(given.bottom)};
    // A Wizard 97 page under the header starts a margin below the header's line, which the
    // system measured where it is now, already at the new DPI: only the margin scales.
    constexpr int kHeaderLine = 0x3027;
    if (HWND line = GetDlgItem(hwnd(), kHeaderLine)) {
        RECT rule{};
        GetWindowRect(line, &rule);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rule), 2);
        if (given.top >= rule.bottom) area.top = rule.bottom + scaled(given.top - rule.bottom);
    }
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace rw
