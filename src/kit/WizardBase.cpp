#include "kit/WizardBase.h"

#include <cstddef>
#include <stdexcept>

#include "framework/Application.h"

namespace nsHalden {

namespace {

// Posted by a page to itself when it has become active: the sheet is repainted once the
// page shows, so no trace of the exterior pages' watermark stays behind an interior page.
constexpr UINT WMU_REDRAW_SHEET = WM_APP + 0x40;
constexpr DWORD kHelpIdBase = 0x20000;

std::wstring& FinishTextStore() {
    static std::wstring text;
    return text;
}

bool IsModifierHeld() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

// The bitmap at its own size: the sheet crops a larger picture to the Wizard 97 areas
// rather than fitting it.
HBITMAP LoadWizardBitmap(HINSTANCE instance, UINT id) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The watermark column of the first and last pages reaches down to the buttons, deeper than
// the picture, and the sheet fills what the picture leaves with its top-left pixel: a hard edge
// where the picture ends. A copy with the picture's last row carried down, as deep as the page
// can be at this DPI, fills the column instead; the sheet crops it at the buttons.
HBITMAP ExtendedWatermark(HBITMAP picture) {
    // The page is 193 dialog units high, under 400 pixels at 96 DPI with the sheet's font.
    constexpr int kColumnAt96 = 480;
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof size, &size)) return nullptr;
    const HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    const int height = MulDiv(kColumnAt96, GetDeviceCaps(screen, LOGPIXELSY), 96);
    HBITMAP extended = height > size.bmHeight ? CreateCompatibleBitmap(screen, size.bmWidth, height) : nullptr;
    const HDC from = CreateCompatibleDC(screen);
    const HDC to = CreateCompatibleDC(screen);
    bool drawn = false;
    if (extended && from && to) {
        const HGDIOBJ oldFrom = SelectObject(from, picture);
        const HGDIOBJ oldTo = SelectObject(to, extended);
        drawn = BitBlt(to, 0, 0, size.bmWidth, size.bmHeight, from, 0, 0, SRCCOPY) &&
                StretchBlt(to, 0, size.bmHeight, size.bmWidth, height - size.bmHeight, from, 0, size.bmHeight - 1,
                           size.bmWidth, 1, SRCCOPY);
        SelectObject(to, oldTo);
        SelectObject(from, oldFrom);
    }
    if (to) DeleteDC(to);
    if (from) DeleteDC(from);
    ReleaseDC(nullptr, screen);
    if (extended && !drawn) {
        DeleteObject(extended);
        return nullptr;
    }
    return extended;
}

}  // namespace

void SetFinishText(const std::wstring& text) {
    FinishTextStore() = text;
}

const std::wstring& FinishText() {
    return FinishTextStore();
}

// Page ------------------------------------------------------------------------------------

CppWizardBase::CppWizardBase(const wchar_t* caption, UINT templateId, DWORD helpContext)
    : CPropertyPagePlus(templateId, caption) {
    m_nHelpContext = helpContext;
    AddFlags(PSP_HASHELP);
    if (helpContext == static_cast<DWORD>(-1)) RemoveFlags(PSP_HASHELP);
}

CpsWizardBase* CppWizardBase::WizardSheet() const {
    return dynamic_cast<CpsWizardBase*>(ParentSheet());
}

rw::MessageResult CppWizardBase::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HELP:
            if (!rw::Application::Current() || IsModifierHeld()) break;
            OnHelp(reinterpret_cast<const HELPINFO*>(lParam), lParam);
            return TRUE;
        case WMU_REDRAW_SHEET:
            if (HWND sheet = SheetWindow()) {
                KeepKeyboardFocus(sheet);
                RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            return 0;
    }
    return CPropertyPagePlus::Route(message, wParam, lParam);
}

// Runs after the sheet has applied this page's buttons (the message is posted after them).
// When the focus was on a button the sheet has just hidden or disabled (Next, on the finish
// page), or nowhere at all, nothing answers Tab, Enter or Escape: give it to the default
// button of the page's role.
void CppWizardBase::KeepKeyboardFocus(HWND sheet) const {
    if (GetActiveWindow() != sheet) return;
    const HWND focus = GetFocus();
    const bool lost =
        !focus || focus == sheet || (GetParent(focus) == sheet && (!IsWindowVisible(focus) || !IsWindowEnabled(focus)));
    if (!lost) return;
    const int preferred = (m_dwButtons & PSWIZB_FINISH) ? rw::kWizardFinishButton : rw::kWizardNextButton;
    for (const int id : {preferred, rw::kWizardNextButton, rw::kWizardFinishButton, IDCANCEL}) {
        const HWND button = GetDlgItem(sheet, id);
        if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
            SendMessageW(sheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
            return;
        }
    }
}

void CppWizardBase::OnHelp(const HELPINFO* info, LPARAM) {
    rw::Application* app = rw::Application::Current();
    if (!info) {
        app->ShowHelp(0, HELP_CONTENTS);
        return;
    }
    DWORD id = static_cast<DWORD>(info->dwContextId);
    if (id == 0) id = ContextHelpId();
    if (id == 0) id = kHelpIdBase + TemplateId();
    app->ShowHelp(id, HELP_CONTEXT);
}

rw::InitFocus CppWizardBase::OnInitDialog() {
    // The framework's initialisation; the kit page's sets the context-help id afterwards.
    const rw::InitFocus focus = rw::PropertyPage::OnInitDialog();
    CpsWizardBase* sheet = WizardSheet();
    if (sheet && m_nTitleControl != 0 && (m_nKind == PAGE_WELCOME || m_nKind == PAGE_FINISH)) {
        if (HFONT font = sheet->TitleFont(*this))
            SendMessageW(Item(m_nTitleControl), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    const rw::Sheet* frame = ParentSheet();
    const bool first = frame && frame->PageAt(0) == this;
    if (m_nKind == PAGE_SETTINGS && frame) {
        if (frame->PageCount() == 1) {
            m_bStandalone = true;
            m_dwButtons = PSWIZB_FINISH;
        } else if (first) {
            m_dwButtons = PSWIZB_NEXT;
        }
    }
    if (m_nKind == PAGE_FINISH && (m_dwButtons & PSWIZB_BACK) && first) {
        m_dwButtons &= ~static_cast<DWORD>(PSWIZB_BACK);
        if (HWND sheetWindow = SheetWindow())
            PostMessageW(sheetWindow, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(m_dwButtons));
    }
    if (m_nHelpContext != static_cast<DWORD>(-1)) SetContextHelpId(m_nHelpContext);
    return focus;
}

bool CppWizardBase::OnSetActive() {
    const rw::Sheet* frame = ParentSheet();
    if (frame && frame->IsWizard()) {
        if (HWND sheetWindow = SheetWindow())
            PostMessageW(sheetWindow, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(m_dwButtons));
    }
    Post(WMU_REDRAW_SHEET);
    return CPropertyPagePlus::OnSetActive();
}

void CppWizardBase::OnOK() {
    OnWizardFinish();
}

bool CppWizardBase::OnWizardFinish() {
    return CPropertyPagePlus::OnWizardFinish();
}

// Sheet -----------------------------------------------------------------------------------

CpsWizardBase::CpsWizardBase(std::wstring caption, HWND parent) : CPropertySheetPlus(std::move(caption), parent) {}

void CpsWizardBase::SetWizardBitmaps(UINT watermarkId, UINT headerId) {
    const rw::Application* app = rw::Application::Current();
    const HINSTANCE instance = app && app->Instance() ? app->Instance() : GetModuleHandleW(nullptr);
    watermark_.reset(LoadWizardBitmap(instance, watermarkId));
    if (HBITMAP extended = ExtendedWatermark(watermark_.get())) watermark_.reset(extended);
    header_.reset(LoadWizardBitmap(instance, headerId));
    Sheet::SetWizardBitmaps(watermarkId, headerId);
    SetWizardBitmapHandles(watermark_.get(), header_.get());
}

HFONT CpsWizardBase::TitleFont(const CppWizardBase& page) {
    if (titleFont_) return titleFont_.get();
    NONCLIENTMETRICSW metrics{};
    // The size before Vista's padded border: the same on every version.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfWeight = FW_BOLD;
    wcscpy_s(font.lfFaceName, L"Verdana Bold");
    int dpi = 96;
    if (const HDC dc = GetDC(page.hwnd())) {
        dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(page.hwnd(), dc);
    }
    font.lfHeight = -MulDiv(11, dpi, 72);
    LOGFONTW pageFont{};
    if (const auto current = reinterpret_cast<HFONT>(page.Send(WM_GETFONT));
        current && GetObjectW(current, sizeof pageFont, &pageFont)) {
        font.lfHeight = pageFont.lfHeight * 4 / 3;
    }
    titleFont_.reset(CreateFontIndirectW(&font));
    return titleFont_.get();
}

void CpsWizardBase::FinishSettingsPages() {
    for (size_t i = 0; i < PageCount(); ++i) {
        auto* page = dynamic_cast<CppWizardBase*>(PageAt(i));
        if (page && (page->m_nKind == PAGE_INTERIOR || page->m_nKind == PAGE_SETTINGS)) page->OnWizardFinish();
    }
}

CppWizardBase& CpsWizardBase::WizardPageAt(size_t index) const {
    auto* page = dynamic_cast<CppWizardBase*>(PageAt(index));
    if (!page) throw std::invalid_argument("no wizard page at this index");
    return *page;
}

void CpsWizardBase::OnHelp() {
    rw::Application* app = rw::Application::Current();
    if (!app) return;
    const rw::PropertyPage* page = ActivePage();
    if (!page) {
        app->ShowHelp(0, HELP_CONTENTS);
        return;
    }
    DWORD id = page->ContextHelpId();
    if (id == 0) {
        id = kHelpIdBase + (dynamic_cast<const CppWizardBase*>(page) ? page->TemplateId()
                                                                     : static_cast<DWORD>(GetDlgCtrlID(page->hwnd())));
    }
    app->ShowHelp(id, HELP_CONTEXT);
}

void CpsWizardBase::OnInitDialog() {
    if (PageCount() != 1) return;
    const auto* page = dynamic_cast<const CppWizardBase*>(PageAt(0));
    if (page && page->m_nKind == PAGE_SETTINGS) Sheet::SetFinishText(FinishText());
}

}  // namespace nsHalden
