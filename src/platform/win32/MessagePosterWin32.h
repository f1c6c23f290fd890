// The message-poster seam: PostMessageW to one window, from any thread.
#pragma once
#include <windows.h>

#include "platform/MessagePoster.h"

namespace rw {

class WindowMessagePoster final : public MessagePoster {
public:
    explicit WindowMessagePoster(HWND window) : window_(window) {}
    // False when the window is gone or its queue is full.
    bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        return window_ && PostMessageW(window_, message, wParam, lParam) != 0;
    }
    HWND window() const { return window_; }

private:
    HWND window_;
};

}  // namespace rw
