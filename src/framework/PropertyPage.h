// A page of a property sheet or wizard (see Sheet.h). Page notifications become
// virtuals: OnSetActive, OnKillActive, OnApply, OnReset, OnWizardBack, OnWizardNext,
// OnWizardFinish, OnQueryCancel; each returns whether the sheet may go ahead (the wizard
// moves return a page instead).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "framework/Dialog.h"

namespace rw {

// What a modal sheet returns when the user pressed a wizard's Finish button.
constexpr INT_PTR ID_WIZFINISH = 0x3025;
// The buttons of a wizard sheet.
constexpr int kWizardBackButton = 0x3023;
constexpr int kWizardNextButton = 0x3024;
constexpr int kWizardFinishButton = 0x3025;

class Sheet;

class PropertyPage : public Dialog {
public:
    // A page on a template; a caption replaces the template's title (PSP_USETITLE).
    explicit PropertyPage(UINT templateId, const wchar_t* caption = nullptr);

    // PSP_ flags of the page; set before the sheet runs.
    void AddFlags(DWORD flags) { flags_ |= flags; }
    void RemoveFlags(DWORD flags) { flags_ &= ~flags; }
    DWORD Flags() const { return flags_; }
    // The Wizard 97 header texts of an interior page.
    void SetHeaderTitle(std::wstring title) { headerTitle_ = std::move(title); }
    void SetHeaderSubtitle(std::wstring subtitle) { headerSubtitle_ = std::move(subtitle); }

    // The sheet the page was added to, and its window while it runs.
    Sheet* ParentSheet() const { return sheet_; }
    HWND SheetWindow() const { return hwnd() ? GetParent(hwnd()) : nullptr; }

    // Results of OnWizardBack and OnWizardNext besides a template id to go to.
    static constexpr int kDefaultPage = 0;
    static constexpr int kStayOnPage = -1;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

    // True until the page has become active once.
    bool IsFirstActivation() const { return firstActivation_; }

    // The first time nothing (the initialisation has just filled the controls); every later
    // time the members into the controls. False keeps the page from being shown.
    virtual bool OnSetActive();
    // Reads the controls; false keeps the page in front.
    virtual bool OnKillActive();
    // OK or Apply of a property sheet: OnOK; false keeps the sheet open on this page.
    virtual bool OnApply();
    // Cancel of the sheet: OnCancel.
    virtual void OnReset();
    virtual int OnWizardBack();
    virtual int OnWizardNext();
    // Finish of a wizard: reads the controls; false keeps the wizard open.
    virtual bool OnWizardFinish();
    // False refuses Cancel.
    virtual bool OnQueryCancel();
    // A page does not end anything itself: the sheet closes. Pages that save override OnOK.
    void OnOK() override {}
    void OnCancel() override {}

private:
    friend class Sheet;
    PROPSHEETPAGEW Describe(HINSTANCE instance) const;
    MessageResult OnSheetNotify(const NMHDR& header, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Sheet* sheet_ = nullptr;
    std::wstring caption_;
    std::wstring headerTitle_;
    std::wstring headerSubtitle_;
    DWORD flags_ = PSP_DEFAULT;
    bool firstActivation_ = true;
    bool placeAtActivation_ = false;  // made after a DPI change, not yet sized to the page area
};

}  // namespace rw
