#include "framework/PropertyPage.h"

#include "framework/Dpi.h"
#include "framework/Sheet.h"

namespace rw {

PropertyPage::PropertyPage(UINT templateId, const wchar_t* caption)
    : Dialog(templateId), caption_(caption ? caption : L"") {}

PROPSHEETPAGEW PropertyPage::Describe(HINSTANCE instance) const {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = flags_;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(TemplateId());
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    if (!caption_.empty()) {
        page.dwFlags |= PSP_USETITLE;
        page.pszTitle = caption_.c_str();
    }
    if (!headerTitle_.empty()) {
        page.dwFlags |= PSP_USEHEADERTITLE;
        page.pszHeaderTitle = headerTitle_.c_str();
    }
    if (!headerSubtitle_.empty()) {
        page.dwFlags |= PSP_USEHEADERSUBTITLE;
        page.pszHeaderSubTitle = headerSubtitle_.c_str();
    }
    return page;
}

INT_PTR CALLBACK PropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A page's create parameter is its PROPSHEETPAGE, which carries the page object.
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<PropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        // The first page is created inside PropertySheet, before the sheet object has its
        // window: lend it the window now, so that the pages can talk to the sheet at once.
        if (page->sheet_ && !page->sheet_->hwnd()) page->sheet_->Attach(GetParent(hwnd));
        TakeOverDialogScaling(hwnd);
        const INT_PTR result = HandleDialogMessage(page, hwnd, message, wParam, lParam);
        // A page made after the sheet's DPI changed comes at the DPI its template was laid out
        // for; the system places it after this, and then activates it.
        if (page->sheet_) page->placeAtActivation_ = page->sheet_->FollowDpi(hwnd);
        return result;
    }
    return HandleDialogMessage(FromHandle(hwnd), hwnd, message, wParam, lParam);
}

MessageResult PropertyPage::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.hwndFrom == SheetWindow()) {
                if (const MessageResult result = OnSheetNotify(header, lParam)) return result;
            }
            break;
        }
        case WM_HELP:
            // A page is a child window but answers F1 itself.
            if (AnswerHelp(lParam, true)) return TRUE;
            break;
    }
    return Dialog::Route(message, wParam, lParam);
}

MessageResult PropertyPage::OnSheetNotify(const NMHDR& header, LPARAM lParam) {
    switch (header.code) {
        case PSN_SETACTIVE: {
            if (placeAtActivation_ && sheet_) sheet_->PlaceLaterPage(hwnd());
            placeAtActivation_ = false;
            const bool accepted = OnSetActive();
            firstActivation_ = false;
            return accepted ? 0 : -1;
        }
        case PSN_KILLACTIVE: return OnKillActive() ? FALSE : TRUE;
        case PSN_APPLY: {
            if (!OnApply()) return PSNRET_INVALID_NOCHANGEPAGE;
            // lParam of the notification tells OK (closing) from Apply.
            if (sheet_ && reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam) sheet_->result_ = IDOK;
            return PSNRET_NOERROR;
        }
        case PSN_RESET: OnReset(); return 0;
        case PSN_WIZBACK: return OnWizardBack();
        case PSN_WIZNEXT: return OnWizardNext();
        case PSN_WIZFINISH: {
            if (!OnWizardFinish()) return TRUE;
            if (sheet_) sheet_->result_ = ID_WIZFINISH;
            return FALSE;
        }
        case PSN_QUERYCANCEL: return OnQueryCancel() ? FALSE : TRUE;
    }
    return kNotHandled;
}

bool PropertyPage::OnSetActive() {
    if (!firstActivation_) UpdateData(Direction::ToControls);
    return true;
}

bool PropertyPage::OnKillActive() {
    return UpdateData(Direction::FromControls);
}

bool PropertyPage::OnApply() {
    OnOK();
    return true;
}

void PropertyPage::OnReset() {
    OnCancel();
}

int PropertyPage::OnWizardBack() {
    return kDefaultPage;
}

int PropertyPage::OnWizardNext() {
    return kDefaultPage;
}

bool PropertyPage::OnWizardFinish() {
    return UpdateData(Direction::FromControls);
}

bool PropertyPage::OnQueryCancel() {
    return true;
}

}  // namespace rw
