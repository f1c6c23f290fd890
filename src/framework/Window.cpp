#include "framework/Window.h"

#include <commctrl.h>

namespace rw {

Window::~Window() {
    Unsubclass();
}

void Window::Attach(HWND hwnd) {
    Unsubclass();
    hwnd_ = hwnd;
}

HWND Window::Detach() {
    Unsubclass();
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    return hwnd;
}

bool Window::Subclass(HWND hwnd) {
    Unsubclass();
    // The comctl32 subclass chain keeps this object as the subclass's reference data: no
    // table of windows, and other subclasses of the same window keep working.
    if (!hwnd ||
        !SetWindowSubclass(hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    hwnd_ = hwnd;
    subclassed_ = true;
    OnSubclassed();
    return true;
}

void Window::Unsubclass() {
    if (subclassed_ && hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, reinterpret_cast<UINT_PTR>(this));
    if (subclassed_) hwnd_ = nullptr;
    subclassed_ = false;
}

std::wstring Window::TextOf(HWND hwnd) {
    if (!hwnd) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

MessageResult Window::Route(UINT, WPARAM, LPARAM) {
    return kNotHandled;
}

LRESULT Window::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? DefSubclassProc(hwnd_, message, wParam, lParam)
                       : DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* window = reinterpret_cast<Window*>(self);
    const MessageResult result =
        Guarded<MessageResult>(kNotHandled, [&] { return window->Route(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        // The window is going away: the class has seen it, now drop the link before the
        // original procedure runs.
        window->Unsubclass();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (result) return *result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace rw
