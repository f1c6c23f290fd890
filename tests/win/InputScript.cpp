#include "InputScript.h"

namespace rw::test {

void Xdotool(const std::wstring& arguments) {
    std::wstring command = L"Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void BringToFront(HWND hwnd) {
    // Wine asks the X server for the keyboard focus with the time of the thread's last message,
    // and the server ignores a request older than the last focus change. After a window closes,
    // the taskbar of the "shell" desktop takes the focus: activated before the thread took a
    // message again, hwnd would be foreground for Windows yet get no keys. So the thread takes a
    // message of its own first.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    const ULONGLONG end = GetTickCount64() + 10000;
    for (int steady = 0; steady < 5 && GetTickCount64() < end;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (GetForegroundWindow() == hwnd) {
            ++steady;
        } else {
            SetForegroundWindow(hwnd);
            steady = 0;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT);
    }
}

HWND ShownMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

std::wstring MiddleOf(const RECT& rect) {
    return std::to_wstring((rect.left + rect.right) / 2) + L" " + std::to_wstring((rect.top + rect.bottom) / 2);
}

InputScript* InputScript::current_ = nullptr;

InputScript::InputScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 25, OnTimer);
}

InputScript::~InputScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
}

void CALLBACK InputScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->Tick();
}

void InputScript::Tick() {
    // The timer also fires inside a menu's modal loop, where Run cannot see the time run out:
    // a menu that no step closes is closed here, so the script fails instead of hanging.
    if (GetTickCount64() > deadline_) {
        if (ShownMenu()) EndMenu();
        return;
    }
    if (inStep_) return;
    inStep_ = true;
    while (next_ < steps_.size() && steps_[next_]()) ++next_;
    inStep_ = false;
}

bool InputScript::Run(HWND dialog, DWORD timeoutMs) {
    deadline_ = GetTickCount64() + timeoutMs;
    while (next_ < steps_.size()) {
        if (GetTickCount64() > deadline_) {
            EndMenu();
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsDialogMessageW(dialog, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace rw::test
