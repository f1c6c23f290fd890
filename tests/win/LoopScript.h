// Drives code that runs a modal loop of its own (a modal dialog, a property sheet, a message
// box): a thread timer fires inside whichever loop is running and takes the next step of a
// script. Message boxes that open meanwhile are closed with OK and their texts kept, so a
// test can check the prompt that appeared. A step waits one tick whenever a window has opened
// since the last tick: a modal loop shows its dialog only once its queue has drained, and a
// slow creation (a loaded machine, a browser control's first start) can leave the timer due
// before that.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rw::test {

class LoopScript {
public:
    using Step = std::function<void()>;

    explicit LoopScript(std::vector<Step> steps, UINT intervalMs = 20);
    LoopScript(const LoopScript&) = delete;
    LoopScript& operator=(const LoopScript&) = delete;
    ~LoopScript();

    // Called from a step: the step runs again at the next tick (it waits for something the
    // program does); the script gives up after a while.
    static void Again();

    // Texts of the message boxes closed so far.
    const std::vector<std::wstring>& messageBoxes() const { return messageBoxes_; }
    bool finished() const { return next_ >= steps_.size(); }
    // True when the script ran out of time and closed the thread's windows itself.
    bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    bool CloseMessageBoxes();

    static LoopScript* current_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    ULONGLONG idleSince_ = 0;  // when the last step was done
    bool timedOut_ = false;
    bool inStep_ = false;
    bool again_ = false;
    ULONGLONG waitingSince_ = 0;  // when the step being repeated first ran
    UINT_PTR timer_ = 0;
    std::vector<HWND> windows_;  // the thread's top-level windows at the last tick
    std::vector<std::wstring> messageBoxes_;
};

}  // namespace rw::test
