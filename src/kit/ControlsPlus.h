// The kit's control classes: each subclasses one control of a dialog and adds one behaviour.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace nsHalden {

// A static picture that behaves like a link: its own cursor (the hand) and a tooltip over its
// whole area, without the notify style.
class CStaticPlus : public rw::Window {
public:
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    // Kept to 79 characters, what the tooltip's buffer holds.
    void SetTooltipText(const std::wstring& text);
    const std::wstring& TooltipText() const { return tooltip_; }
    // Creates the tooltip for the stored rectangle (tool id 1, text asked for by callback).
    // The tooltip lives as long as the control: it goes when the control goes.
    bool EnableToolTips();
    HWND Tooltip() const { return tooltipWindow_.get(); }

protected:
    // Keeps the control's client rectangle as the tooltip's area.
    void OnSubclassed() override;
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    rw::MessageResult OnNotify(const NMHDR& header, LPARAM lParam);
    void OnNcDestroy();

    HCURSOR cursor_ = nullptr;
    RECT client_{};
    std::wstring tooltip_;
    rw::WindowOwner tooltipWindow_;
};

// A tab control that repaints the control placed over its page area after painting itself,
// so neither leaves the other's drawing stale.
class CTabCtrlPlus : public rw::Window {
public:
    void SetPartner(HWND partner) { partner_ = partner; }
    HWND Partner() const { return partner_; }

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void RedrawPartner() const;
    HWND partner_ = nullptr;
};

// A rich edit control that takes its text from a string and can mark a range as a link.
class CRichEditCtrlPlus : public rw::Window {
public:
    // The text waiting to be streamed in.
    std::wstring m_strStreamText;

    // EM_STREAMIN with SF_TEXT | SF_UNICODE of m_strStreamText, replacing the contents.
    void StreamTextIntoControl();
    // The stream callback: the cookie is the control object.
    static DWORD CALLBACK StreamTextIn(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done);
    // The selection becomes a protected link, or plain text again when it is one.
    void ToggleLinkEffect();

    // The link a keyboard user reaches: when the control gets the focus the range is selected
    // and scrolled into view, and Enter sends the parent EN_LINK with WM_KEYDOWN and VK_RETURN.
    // An empty range (cpMin == cpMax) means the text has no link.
    void SetKeyboardLink(CHARRANGE link) { keyboardLink_ = link; }

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool HasKeyboardLink() const { return keyboardLink_.cpMax > keyboardLink_.cpMin; }
    void SelectKeyboardLink();
    void ReportKeyboardLink();

    CHARRANGE keyboardLink_{0, 0};
};

// A push button with a drop-down menu: a click shows the first submenu of the owned menu under
// the button (or beside it, with the right arrow). The owner gets BN_CLICKED and reads
// MenuResult while it handles it: the command chosen, or 0 ("no item") for a plain click of
// the button (Enter in the dialog, or the face with default click on). A menu dismissed with
// Escape or a click elsewhere reports nothing. The caption shows its access-key underline
// only while the system shows keyboard cues.
class CMFCMenuButtonPlus : public rw::Window {
public:
    CMFCMenuButtonPlus();
    // Loads the menu resource; its first submenu becomes the drop-down.
    bool LoadDropDownMenu(HINSTANCE instance, UINT menuId);
    // Takes a menu made in code; its first submenu becomes the drop-down.
    void SetDropDownMenu(rw::MenuOwner menu) { menu_ = std::move(menu); }
    void SetCaption(const std::wstring& caption);
    const std::wstring& FullCaption() const { return full_; }
    const std::wstring& PlainCaption() const { return plain_; }
    bool CuesShown() const { return cuesShown_; }
    // The command the click being reported chose; 0 for a click without a menu item.
    UINT MenuResult() const { return menuResult_; }
    HMENU DropDown() const { return menu_ ? GetSubMenu(menu_.get(), 0) : nullptr; }

    // Default click: the face clicks like a plain button (Space too) and only the arrow part
    // (Down too) opens the menu. Off: every click opens the menu.
    void SetDefaultClick(bool on) { defaultClick_ = on; }
    // The arrow points right and the menu opens beside the button instead of under it.
    void SetRightArrow(bool on) { rightArrow_ = on; }
    // The button shows pressed while its menu is open.
    void SetStayPressed(bool on) { stayPressed_ = on; }
    // The width of the arrow part at the button's right edge.
    static constexpr int kArrowPartWidth = 18;

protected:
    // Takes the template's text as the caption.
    void OnSubclassed() override;
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    rw::MessageResult OnLButtonDown(LPARAM point);
    rw::MessageResult OnKeyDown(WPARAM key);
    rw::MessageResult OnUpdateUiState(WPARAM wParam);
    bool IsOnArrowPart(LPARAM point) const;
    void ShowMenu();
    void PaintArrow();

    rw::MenuOwner menu_;
    bool cuesShown_ = true;
    std::wstring full_;
    std::wstring plain_;
    UINT menuResult_ = 0;
    bool inMenu_ = false;
    bool defaultClick_ = false;
    bool rightArrow_ = false;
    bool stayPressed_ = false;
};

}  // namespace nsHalden
