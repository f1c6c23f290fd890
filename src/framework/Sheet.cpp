#include "framework/Sheet.h"

#include "framework/Application.h"

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
    const auto created = PropertySheetW(&header);
    HWND sheet = reinterpret_cast<HWND>(created);
    if (created == 0 || created == -1 || !::IsWindow(sheet)) {
        Detach();
        return -1;
    }
    if (!Subclass(sheet)) Attach(sheet);
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
    return result_;
}

}  // namespace rw
