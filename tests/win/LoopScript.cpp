#include "LoopScript.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Window.h"

namespace rw::test {
namespace {

// Time after the last step before the script gives up and closes the windows.
constexpr ULONGLONG kGiveUpMs = 9000;

std::vector<HWND> ThreadTopLevelWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The message boxes are the visible dialogs with an owner: the tests' own dialogs have
// none, and a property sheet with an owner (the Options sheet) answers for its page.
bool IsMessageBox(HWND hwnd) {
    wchar_t name[16] = L"";
    GetClassNameW(hwnd, name, 16);
    // A message box has its text in static 0xFFFF; a property sheet or a dialog with an edit
    // field (the planned-break editor) is a window under test.
    return std::wstring(name) == L"#32770" && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) != nullptr &&
           GetDlgItem(hwnd, 0xFFFF) != nullptr && !PropSheet_GetCurrentPageHwnd(hwnd) &&
           !FindWindowExW(hwnd, nullptr, L"Edit", nullptr);
}

}  // namespace

LoopScript* LoopScript::current_ = nullptr;

void LoopScript::Again() {
    if (current_) current_->again_ = true;
}

LoopScript::LoopScript(std::vector<Step> steps, UINT intervalMs) : steps_(std::move(steps)) {
    current_ = this;
    windows_ = ThreadTopLevelWindows();
    timer_ = SetTimer(nullptr, 0, intervalMs, OnTimer);
}

LoopScript::~LoopScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
}

void CALLBACK LoopScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->Tick();
}

bool LoopScript::CloseMessageBoxes() {
    bool closed = false;
    for (HWND hwnd : ThreadTopLevelWindows()) {
        if (!IsMessageBox(hwnd)) continue;
        // The message text is the static control 0xFFFF of the box.
        messageBoxes_.push_back(Window::TextOf(GetDlgItem(hwnd, 0xFFFF)));
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        closed = true;
    }
    return closed;
}

void LoopScript::Tick() {
    // A step may open a modal loop (a message box) in which this timer fires again.
    if (inStep_) {
        CloseMessageBoxes();
        return;
    }
    if (CloseMessageBoxes()) return;
    std::vector<HWND> windows = ThreadTopLevelWindows();
    const bool opened = std::any_of(windows.begin(), windows.end(), [&](HWND hwnd) {
        return std::find(windows_.begin(), windows_.end(), hwnd) == windows_.end();
    });
    windows_ = std::move(windows);
    if (opened) return;  // let its loop show and settle it first
    if (next_ < steps_.size()) {
        const size_t step = next_++;
        inStep_ = true;
        again_ = false;
        steps_[step]();
        inStep_ = false;
        if (!again_) {
            waitingSince_ = 0;
            return;
        }
        next_ = step;
        if (!waitingSince_) waitingSince_ = GetTickCount64();
        if (GetTickCount64() - waitingSince_ < kGiveUpMs) return;
        timedOut_ = true;
        next_ = steps_.size();
        ADD_FAILURE() << "step " << step << " of the script waited in vain";
        for (HWND hwnd : ThreadTopLevelWindows()) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return;
    }
    if (!idleSince_) idleSince_ = GetTickCount64();
    if (!timedOut_ && GetTickCount64() - idleSince_ >= kGiveUpMs) {
        timedOut_ = true;
        ADD_FAILURE() << "the script ended but the window under test is still open";
        for (HWND hwnd : ThreadTopLevelWindows()) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace rw::test
