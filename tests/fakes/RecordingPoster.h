// A message poster that records what it is given, from any thread, and lets the test wait
// for a number of messages instead of sleeping.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/MessagePoster.h"

namespace rw::test {

struct PostedMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const PostedMessage& o) const {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

class RecordingPoster final : public MessagePoster {
public:
    bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // False when fewer than count messages arrived within the timeout.
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    std::vector<PostedMessage> Messages() const;
    size_t Count() const;
    // Posts fail (and are still recorded) while this is false.
    void SetAccepting(bool accepting);

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<PostedMessage> messages_;
    bool accepting_ = true;
};

}  // namespace rw::test
