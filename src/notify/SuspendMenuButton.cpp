#include "notify/SuspendMenuButton.h"

#include <windowsx.h>

namespace rw {

void CSuspendMenuButton::ClickFace() {
    faceClick_ = true;
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd()));
    faceClick_ = false;
}

MessageResult CSuspendMenuButton::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN: {
            RECT client{};
            GetClientRect(hwnd(), &client);
            if (GET_X_LPARAM(lParam) < client.right - kArrowPartWidth) {
                ClickFace();
                return 0;
            }
            break;  // the arrow part: the kit's menu
        }
        case BM_CLICK: ClickFace(); return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE || wParam == VK_RETURN) {
                ClickFace();
                return 0;
            }
            break;
    }
    return CMFCMenuButtonPlus::Route(message, wParam, lParam);
}

}  // namespace rw
