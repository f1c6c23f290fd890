// The main window's health tips: a tab per tip (the organisation's own first, when its
// branding gives one) and the tip's text with a "Learn more" link below the tabs. A part of
// the main window, bound to its two controls.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>

#include "framework/DataExchange.h"
#include "kit/ControlsPlus.h"
#include "settings/SettingsStore.h"
#include "ui/shared/WindowServices.h"

namespace rw {

class CHealthTips {
public:
    // The health hint of the main window's breaks link (the first standard tip's).
    static constexpr std::uint32_t kBreaksHint = 100;

    explicit CHealthTips(Links& links);

    // The organisation's health tab from the settings (shown by the next UpdateTabs).
    void LoadBranding(const SettingsIdentity& identity);
    void Bind(DataExchange& exchange);
    // The standard tabs, the text's place and the organisation's tab.
    void Init(HWND dialog);
    // The text under the tabs, again at the dialog's font and size (after a DPI change).
    void PlaceText(HWND dialog);
    // Adds, renames or removes the organisation's tab, then shows the selected tip.
    void UpdateTabs();
    // The tab change and the link of the text: true when the notification was one of these.
    bool OnNotify(const NMHDR& header);
    // The organisation's health link; empty: none.
    const std::wstring& BrandLink() const { return brandLink_; }

private:
    void ShowTip();
    void OnLink(const ENLINK& link);
    int SelectedTip() const;  // the selected tab less the organisation's: -1 is the organisation's

    Links& links_;
    nsHalden::CTabCtrlPlus tabs_;
    nsHalden::CRichEditCtrlPlus text_;
    std::wstring linkText_;
    bool brandTab_ = false;  // the organisation's tab is the first
    std::wstring brandTitle_;
    std::wstring brandContents_;
    std::wstring brandLink_;
};

}  // namespace rw
