// An edit control with a browse button at its right edge that opens the system's file
// dialog; the file chosen replaces the edit's text (so the owner hears EN_CHANGE as if the
// user had typed it). The button is a child of the edit, so the pair moves, hides and is
// enabled as one control.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace nsHalden {

class CEditBrowsePlus : public rw::Window {
public:
    // The browse button opens a file: filter as a string-table text whose entries are
    // separated by "|" ("Wave Files|*.wav||"), the button's picture an icon resource shown at
    // 16 pixels (scaled with the window's DPI).
    void EnableFileBrowseButton(UINT filterStringId, UINT iconId);
    HWND BrowseButton() const { return button_.get(); }
    // What the button does: the file dialog, then the text. Public so that owners and tests
    // can ask for it as a click would.
    void OnBrowse();

    // "A|b||" → "A\0b\0\0", the form the file dialog takes.
    static std::wstring FilterFromText(const std::wstring& text);

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceButton();

    rw::WindowOwner button_;
    rw::IconOwner icon_;
    std::wstring filter_;
};

}  // namespace nsHalden
