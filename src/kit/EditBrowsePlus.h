// An edit control with a browse button right beside it that opens the system's file dialog;
// the file chosen replaces the edit's text (so the owner hears EN_CHANGE as if the user had
// typed it). The button is a sibling placed at the edit's right end (the edit gives up the
// button's width), and it follows the edit: moved, shown, hidden, enabled and disabled with
// it. F4 in the edit opens the dialog as a click does.
//
// The button is not a child of the edit: under Wine a button inside an edit paints nothing
// once the edit's margins change, and the edit resets its margins whenever its font changes.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace nsHalden {

class CEditBrowsePlus : public rw::Window {
public:
    CEditBrowsePlus() = default;
    ~CEditBrowsePlus() override;

    // The browse button opens a file: filter as a string-table text whose entries are
    // separated by "|" ("Wave Files|*.wav||"), the button's picture an icon resource shown at
    // 16 pixels (scaled with the window's DPI); without the icon the button reads "...".
    // buttonId and the name (a string id) make the button findable and tell a screen reader
    // what it does; its face is only the icon.
    void EnableFileBrowseButton(UINT filterStringId, UINT iconId, int buttonId = 0, UINT nameStringId = 0);
    HWND BrowseButton() const { return button_.get(); }
    // What the button does: the file dialog, then the text. Public so that owners and tests
    // can ask for it as a click would.
    void OnBrowse();

    // "A|b||" → "A\0b\0\0", the form the file dialog takes.
    static std::wstring FilterFromText(const std::wstring& text);

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The edit's parent hears the button's clicks; this class listens there for its own.
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    void PlaceButton();
    void DropButton();

    rw::WindowOwner button_;
    rw::IconOwner icon_;
    std::wstring filter_;
    HWND listenedParent_ = nullptr;
};

}  // namespace nsHalden
