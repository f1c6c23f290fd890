// Posting a message to the main window from any thread; fails silently.
#pragma once
#include <cstdint>

namespace rw {

class MessagePoster {
public:
    virtual ~MessagePoster() = default;
    virtual bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace rw
