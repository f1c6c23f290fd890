// The window wrapper every window class of the program derives from. A wrapper either
// borrows a window (Attach: its helpers act on it) or subclasses it (Subclass: the window's
// messages go through the class's Route first). Non-copyable; the wrapper never outlives
// the link to its window: a subclassed window drops the link when it is destroyed.
//
// Errors: HRESULTs where the behaviour speaks of them, otherwise bool or std::optional; never
// exceptions across a window procedure or a thread boundary. Whatever a handler still throws
// (std::bad_alloc from a string, a broken invariant in a library) stops at the one barrier,
// Guarded, that every entry point from the system puts around its work: here the subclass,
// dialog and page procedures; a thread function (the portable worker's included) ends in the
// same catch-all of its own. The message then counts as not handled and gets its default
// processing, so a failed WM_PAINT still validates its window rather than coming back for
// ever.
#pragma once
#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace rw {

// What a message map returns: a result when it handled the message, nothing to pass the
// message on to the base class and finally to the default processing.
using MessageResult = std::optional<LRESULT>;
inline constexpr std::nullopt_t kNotHandled = std::nullopt;

// The exception barrier: the work's result, or fallback when it threw.
template <typename Result, typename Work>
Result Guarded(Result fallback, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
    } catch (...) {
        OutputDebugStringA("unknown exception stopped at an entry point");
    }
    return fallback;
}

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    bool Exists() const { return hwnd_ && ::IsWindow(hwnd_); }

    // Borrows a window without routing its messages.
    void Attach(HWND hwnd);
    HWND Detach();
    // Routes the window's messages through Route until Unsubclass or WM_NCDESTROY, then runs
    // OnSubclassed. Every way of subclassing (data exchange's Control included) comes here.
    bool Subclass(HWND hwnd);
    bool SubclassItem(HWND dialog, int id) { return Subclass(GetDlgItem(dialog, id)); }
    void Unsubclass();

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::wstring Text() const { return TextOf(hwnd_); }
    void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
    std::wstring ItemText(int id) const { return TextOf(Item(id)); }
    void SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(hwnd_, id, text.c_str()); }
    void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable); }
    void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, message, wParam, lParam);
    }
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return PostMessageW(hwnd_, message, wParam, lParam) != FALSE;
    }

    // The context-help id that WM_HELP reports for this window.
    DWORD ContextHelpId() const { return GetWindowContextHelpId(hwnd_); }
    bool SetContextHelpId(DWORD id) const { return SetWindowContextHelpId(hwnd_, id) != FALSE; }

    static std::wstring TextOf(HWND hwnd);

protected:
    // The class's message map: a switch on the message that calls a named handler each and
    // passes everything else to the base class's Route.
    virtual MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the message would get without this class: the original window
    // procedure of a subclassed window. Handlers that add to it call it first.
    virtual LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

    // The class's set-up of a window it has just subclassed (its messages already come
    // through Route).
    virtual void OnSubclassed() {}

    // For derived bases that manage the link themselves (dialogs).
    void SetHandle(HWND hwnd) { hwnd_ = hwnd; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
};

}  // namespace rw
