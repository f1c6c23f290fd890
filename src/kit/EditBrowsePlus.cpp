#include "kit/EditBrowsePlus.h"

#include <commdlg.h>

#include "core/ResourceString.h"

namespace nsHalden {
namespace {

constexpr int kButtonId = 1;
constexpr int kIconSize = 16;  // at 96 DPI

}  // namespace

std::wstring CEditBrowsePlus::FilterFromText(const std::wstring& text) {
    std::wstring filter = text;
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    // The list ends in two NULs, whether or not the text ended in "||".
    filter.push_back(L'\0');
    return filter;
}

void CEditBrowsePlus::EnableFileBrowseButton(UINT filterStringId, UINT iconId) {
    HWND edit = hwnd();
    if (!edit) return;
    filter_ = FilterFromText(rw::ResourceText(filterStringId));
    if (!button_) {
        // The edit's own painting must not cover its child.
        SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | WS_CLIPCHILDREN);
        button_.reset(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON, 0, 0, 0, 0,
                                      edit, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                      GetModuleHandleW(nullptr), nullptr));
        if (!button_) return;
        SendMessageW(button_.get(), WM_SETFONT, SendMessageW(edit, WM_GETFONT, 0, 0), FALSE);
        EnableWindow(button_.get(), IsWindowEnabled(edit));
    }
    const int size = MulDiv(kIconSize, static_cast<int>(GetDpiForWindow(edit)), 96);
    icon_.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    SendMessageW(button_.get(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_.get()));
    PlaceButton();
}

void CEditBrowsePlus::PlaceButton() {
    if (!button_) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int height = client.bottom - client.top;
    const int width = MulDiv(height, 5, 4);
    SetWindowPos(button_.get(), nullptr, client.right - width, client.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The text stops short of the button.
    SendMessageW(hwnd(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width + 2));
}

void CEditBrowsePlus::OnBrowse() {
    HWND edit = hwnd();
    if (!edit || !IsWindowEnabled(edit)) return;
    wchar_t file[MAX_PATH] = L"";
    const std::wstring current = Text();
    if (current.size() < MAX_PATH) current.copy(file, current.size());
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetAncestor(edit, GA_ROOT);
    open.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    open.nFilterIndex = 1;
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&open)) return;
    // Setting the text tells the owner through EN_CHANGE, as typing would.
    SetWindowTextW(edit, file);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

rw::MessageResult CEditBrowsePlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED &&
                reinterpret_cast<HWND>(lParam) == button_.get()) {
                OnBrowse();
                return 0;
            }
            break;
        case WM_SIZE: {
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            PlaceButton();
            return result;
        }
        case WM_PAINT: {
            // The edit paints its whole client area; the button goes on top again.
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            if (button_) RedrawWindow(button_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return result;
        }
        case WM_ENABLE:
            if (button_) EnableWindow(button_.get(), wParam != 0);
            break;
        case WM_KEYDOWN:
            // F4 opens the file dialog from the keyboard, as in a combo box.
            if (wParam == VK_F4 && button_) {
                OnBrowse();
                return 0;
            }
            break;
        case WM_DESTROY:
            // The system destroys the child with the edit.
            button_.release();
            break;
    }
    return Window::Route(message, wParam, lParam);
}

}  // namespace nsHalden
