// Drives a scenario with real input from the X server: xdotool moves and clicks the pointer and
// types, and each step of the script runs on a thread timer (so inside a menu's or a dialog's
// modal loop as well) until it reports that it is done; then the next step follows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rw::test {

// Starts xdotool with the arguments on the test's display; Wine cannot wait for a Unix
// process, so a script waits for what the input does instead.
void Xdotool(const std::wstring& arguments);
// Makes hwnd the foreground window and waits until it stays so: the taskbar of Wine's "shell"
// desktop takes the activation a moment after a window closes, and keys then go astray. Show
// hwnd without activating it first (SWP_NOACTIVATE): this activates it so that keys reach it.
void BringToFront(HWND hwnd);
// The thread's pop-up menu while one is shown, else null.
HWND ShownMenu();
// The screen point in the middle of a rectangle, as xdotool arguments "x y".
std::wstring MiddleOf(const RECT& rect);

class InputScript {
public:
    // A step returns true when it is done.
    using Step = std::function<bool()>;

    explicit InputScript(std::vector<Step> steps);
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;
    ~InputScript();

    // Runs the thread's messages, through the dialog's navigation, until every step is done
    // or the time is up (then an open menu is closed, also from inside the menu's own loop);
    // false when the time ran out, with the number of the step that did not finish in
    // stuckStep(). The bound catches a hang, not a slow machine.
    bool Run(HWND dialog, DWORD timeoutMs = 30000);
    size_t stuckStep() const { return next_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    static InputScript* current_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool inStep_ = false;
    ULONGLONG deadline_ = ~0ull;
    UINT_PTR timer_ = 0;
};

}  // namespace rw::test
