// Property sheets over the Win32 property-sheet API, property sheets and wizards alike
// (Wizard 97 with header and watermark bitmaps).
//
// A sheet borrows its pages (PropertyPage.h): they live on the opener's stack next to it,
// keep their members while other pages are shown and are written into their controls again
// whenever they become active. The sheet runs modally in a loop of its own and reports how
// it ended: IDOK, IDCANCEL or ID_WIZFINISH.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/PropertyPage.h"

namespace rw {

class Sheet : public Window {
public:
    explicit Sheet(std::wstring caption = {}, HWND parent = nullptr) : caption_(std::move(caption)), parent_(parent) {}

    // Adds a page the sheet borrows; it must outlive the run.
    void AddPage(PropertyPage& page);
    // PSH_ flags (PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_WIZARD for a wizard).
    void AddFlags(DWORD flags) { flags_ |= flags; }
    void RemoveFlags(DWORD flags) { flags_ &= ~flags; }
    DWORD Flags() const { return flags_; }
    void SetCaption(std::wstring caption) { caption_ = std::move(caption); }
    void SetParent(HWND parent) { parent_ = parent; }
    void SetStartPage(UINT index) { startPage_ = index; }
    // The module of the page templates and bitmaps (the program's own by default).
    void SetResourceInstance(HINSTANCE instance) { instance_ = instance; }
    // The Wizard 97 bitmaps: the watermark of the exterior pages and the header picture.
    void SetWizardBitmaps(UINT watermarkId, UINT headerId) {
        watermarkId_ = watermarkId;
        headerId_ = headerId;
    }
    // The same pictures as loaded bitmaps the caller keeps alive (PSH_USEHBMWATERMARK and
    // PSH_USEHBMHEADER): Wine draws a header given by resource id not at all, a loaded one
    // as Windows does.
    void SetWizardBitmapHandles(HBITMAP watermark, HBITMAP header) {
        watermarkBitmap_ = watermark;
        headerBitmap_ = header;
    }

    // Runs the sheet; IDOK, IDCANCEL or ID_WIZFINISH, -1 when it could not be created.
    INT_PTR RunModal();

    size_t PageCount() const { return pages_.size(); }
    // The page at index, null outside 0 … count − 1.
    PropertyPage* PageAt(size_t index) const { return index < pages_.size() ? pages_[index] : nullptr; }
    // The page in front while the sheet runs, null when there is none.
    PropertyPage* ActivePage() const;
    int ActiveIndex() const;
    bool IsWizard() const { return (flags_ & (PSH_WIZARD | PSH_WIZARD97)) != 0; }

    // Posted, so that a page can call it while it becomes active.
    void SetWizardButtons(DWORD buttons) const { Post(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons)); }
    // The Finish button's text; it also hides Back (and Next unless the wizard has both).
    void SetFinishText(const std::wstring& text) const {
        Send(PSM_SETFINISHTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void PressButton(int button) const { Post(PSM_PRESSBUTTON, static_cast<WPARAM>(button)); }

protected:
    // After the sheet and its first page have been created.
    virtual void OnInitDialog() {}
    // WM_DPICHANGED: the sheet takes the place the system suggests, and its tabs, buttons and
    // pages their places and fonts at the new DPI.
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class PropertyPage;
    // Scales the controls of a page made after a DPI change to the sheet's DPI; true when the
    // page, once the system has placed it, needs PlaceLaterPage.
    bool FollowDpi(HWND page);
    // Sizes such a page to the page area at the sheet's DPI, as the pages made before the
    // change were scaled with the sheet.
    void PlaceLaterPage(HWND page) const;
    std::vector<PropertyPage*> pages_;
    std::wstring caption_;
    HWND parent_ = nullptr;
    HINSTANCE instance_ = nullptr;
    DWORD flags_ = PSH_DEFAULT;
    UINT startPage_ = 0;
    UINT watermarkId_ = 0;
    UINT headerId_ = 0;
    HBITMAP watermarkBitmap_ = nullptr;
    HBITMAP headerBitmap_ = nullptr;
    INT_PTR result_ = IDCANCEL;
    int dpi_ = 0;                   // the DPI the sheet is laid out at while it runs
    int createdDpi_ = 0;            // the DPI of the system's dialog units for it
    std::vector<FontOwner> fonts_;  // the fonts its controls use at that DPI, when it changed
};

}  // namespace rw
