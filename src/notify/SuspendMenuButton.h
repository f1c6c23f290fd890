// The alert's suspend button: a click on its face is a plain click (no menu item, so the
// pop-up takes the caption's command), only the arrow part opens the menu, and a dismissed
// menu reports nothing. A thin layer over the kit's menu button until the kit's own
// default-click option arrives.
#pragma once
#include <windows.h>

#include "kit/ControlsPlus.h"

namespace rw {

class CSuspendMenuButton : public nsHalden::CMFCMenuButtonPlus {
public:
    static constexpr int kArrowPartWidth = 18;
    // The item chosen by the click being reported; 0 for a click on the face.
    UINT ChosenItem() const { return faceClick_ ? 0 : MenuResult(); }
    // False for the report of a dismissed menu, which the owner ignores.
    bool IsChoice() const { return faceClick_ || MenuResult() != 0; }

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ClickFace();
    bool faceClick_ = false;
};

}  // namespace rw
