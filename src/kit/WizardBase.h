// The kit's wizard: a Wizard 97 sheet (watermark on the first and last pages, a header
// picture with title and subtitle on the pages between) and the page base that gives each
// page the buttons of its role, the bold title font of the exterior pages and F1 help. A
// settings page alone in its sheet becomes a one-page dialog whose Finish button reads the
// application-wide finish text ("OK").
#pragma once
#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "kit/PagesPlus.h"

namespace nsHalden {

// The role of a wizard page.
enum WizardPageKind : int { PAGE_WELCOME = 0, PAGE_INTERIOR = 1, PAGE_SETTINGS = 2, PAGE_FINISH = 3 };

// The text of the Finish button of a settings page shown alone; set once at start-up.
void SetFinishText(const std::wstring& text);
const std::wstring& FinishText();

class CpsWizardBase;

class CppWizardBase : public CPropertyPagePlus {
public:
    // caption may be null; helpContext -1 means the page has no Help button.
    CppWizardBase(const wchar_t* caption, UINT templateId, DWORD helpContext);

    int m_nKind = PAGE_INTERIOR;
    DWORD m_dwButtons = PSWIZB_BACK | PSWIZB_NEXT;
    int m_nTitleControl = 0;  // the exterior pages' title, shown in the sheet's title font
    bool m_bStandalone = false;

    CpsWizardBase* WizardSheet() const;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    bool OnSetActive() override;
    // The page's own Enter or a property sheet's OK: the same as Finish.
    void OnOK() override;
    bool OnWizardFinish() override;

private:
    friend class CpsWizardBase;
    void OnHelp(const HELPINFO* info, LPARAM raw);
    void KeepKeyboardFocus(HWND sheet) const;
};

class CpsWizardBase : public CPropertySheetPlus {
public:
    explicit CpsWizardBase(std::wstring caption, HWND parent = nullptr);

    // Loads the watermark and header bitmaps from the program's resources and hands them to
    // the sheet as loaded bitmaps.
    void SetWizardBitmaps(UINT watermarkId, UINT headerId);

    // The bold title font of the exterior pages, created on first use for the asking page.
    HFONT TitleFont(const CppWizardBase& page);
    // The wizard-finish operation of every interior and settings page, in page order.
    void FinishSettingsPages();
    // The page at index; std::invalid_argument outside 0 … count − 1 or for a page that is
    // not a wizard page.
    CppWizardBase& WizardPageAt(size_t index) const;

protected:
    void OnInitDialog() override;
    // F1 and the Help button: the topic of the page in front; a page without an id of its
    // own asks for 0x20000 + its template id.
    void OnHelp() override;

private:
    rw::FontOwner titleFont_;
    rw::BitmapOwner watermark_;
    rw::BitmapOwner header_;
};

}  // namespace nsHalden
