#include "kit/EditBrowsePlus.h"

#include <commctrl.h>
#include <commdlg.h>

#include "core/ResourceString.h"

namespace nsHalden {
namespace {

constexpr int kIconSize = 16;  // at 96 DPI
constexpr int kGap = 2;        // between edit and button, at 96 DPI

// The edit's rectangle in its parent's client coordinates.
RECT RectInParent(HWND edit) {
    RECT rect{};
    GetWindowRect(edit, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(edit), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int ButtonWidth(int editHeight) {
    return MulDiv(editHeight, 5, 4);
}

}  // namespace

CEditBrowsePlus::~CEditBrowsePlus() {
    DropButton();
}

std::wstring CEditBrowsePlus::FilterFromText(const std::wstring& text) {
    std::wstring filter = text;
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    // The list ends in two NULs, whether or not the text ended in "||".
    filter.push_back(L'\0');
    return filter;
}

void CEditBrowsePlus::EnableFileBrowseButton(UINT filterStringId, UINT iconId, int buttonId, UINT nameStringId) {
    HWND edit = hwnd();
    HWND parent = edit ? GetParent(edit) : nullptr;
    if (!parent) return;
    filter_ = FilterFromText(rw::ResourceText(filterStringId));
    const int dpi = static_cast<int>(GetDpiForWindow(edit));
    if (!button_) {
        const LONG editStyle = GetWindowLongW(edit, GWL_STYLE);
        const std::wstring name = nameStringId ? rw::ResourceText(nameStringId) : std::wstring(L"...");
        button_.reset(CreateWindowExW(
            0, L"BUTTON", name.c_str(), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | (editStyle & WS_VISIBLE), 0, 0, 0, 0,
            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttonId)), GetModuleHandleW(nullptr), nullptr));
        if (!button_) return;
        if (!SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this),
                               reinterpret_cast<DWORD_PTR>(this))) {
            button_.reset();
            return;
        }
        listenedParent_ = parent;
        SendMessageW(button_.get(), WM_SETFONT, SendMessageW(edit, WM_GETFONT, 0, 0), FALSE);
        EnableWindow(button_.get(), IsWindowEnabled(edit));
        // Right after the edit in the tab order; the edit gives up the button's width (its own
        // WM_WINDOWPOSCHANGED then places the button).
        RECT rect = RectInParent(edit);
        const int height = rect.bottom - rect.top;
        SetWindowPos(button_.get(), edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(edit, nullptr, 0, 0, rect.right - rect.left - ButtonWidth(height) - MulDiv(kGap, dpi, 96), height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int size = MulDiv(kIconSize, dpi, 96);
    rw::IconOwner icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    const LONG style = GetWindowLongW(button_.get(), GWL_STYLE);
    SetWindowLongW(button_.get(), GWL_STYLE, icon ? style | BS_ICON : style & ~BS_ICON);
    SendMessageW(button_.get(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
    icon_ = std::move(icon);
    PlaceButton();
}

void CEditBrowsePlus::PlaceButton() {
    if (!button_) return;
    const RECT rect = RectInParent(hwnd());
    const int height = rect.bottom - rect.top;
    const int gap = MulDiv(kGap, static_cast<int>(GetDpiForWindow(hwnd())), 96);
    SetWindowPos(button_.get(), nullptr, rect.right + gap, rect.top, ButtonWidth(height), height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditBrowsePlus::DropButton() {
    if (listenedParent_) {
        RemoveWindowSubclass(listenedParent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
        listenedParent_ = nullptr;
    }
    // Closing the dialog may have destroyed the button before the edit.
    if (button_ && !IsWindow(button_.get())) button_.release();
    button_.reset();
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

LRESULT CALLBACK CEditBrowsePlus::ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    auto* edit = reinterpret_cast<CEditBrowsePlus*>(self);
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam &&
        reinterpret_cast<HWND>(lParam) == edit->button_.get()) {
        rw::Guarded<bool>(false, [&] {
            edit->OnBrowse();
            return true;
        });
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, ParentProc, reinterpret_cast<UINT_PTR>(self));
        edit->listenedParent_ = nullptr;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

rw::MessageResult CEditBrowsePlus::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_WINDOWPOSCHANGED: {
            if (!button_) break;
            const LRESULT result = DefaultProcessing(message, wParam, lParam);
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (pos->flags & SWP_SHOWWINDOW) ShowWindow(button_.get(), SW_SHOWNA);
            if (pos->flags & SWP_HIDEWINDOW) ShowWindow(button_.get(), SW_HIDE);
            if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) PlaceButton();
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
        case WM_DESTROY: DropButton(); break;
    }
    return Window::Route(message, wParam, lParam);
}

}  // namespace nsHalden
