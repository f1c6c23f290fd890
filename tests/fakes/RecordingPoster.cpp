#include "fakes/RecordingPoster.h"

namespace rw::test {

bool RecordingPoster::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({message, wParam, lParam});
    arrived_.notify_all();
    return accepting_;
}

bool RecordingPoster::WaitForCount(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
}

std::vector<PostedMessage> RecordingPoster::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

size_t RecordingPoster::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
}

void RecordingPoster::SetAccepting(bool accepting) {
    std::lock_guard<std::mutex> lock(mutex_);
    accepting_ = accepting;
}

}  // namespace rw::test
