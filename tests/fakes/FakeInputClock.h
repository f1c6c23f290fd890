// An input clock the test moves by hand: the tick count, the tick of the last input, and
// whether the last-input time can be read at all.
#pragma once
#include "platform/Clock.h"

namespace rw::test {

class FakeInputClock final : public InputClock {
public:
    std::uint32_t TickCount() override { return tick; }
    std::optional<std::uint32_t> LastInputTick() override {
        if (lastInputFails) return std::nullopt;
        return lastInput;
    }

    std::uint32_t tick = 10'000'000;
    std::uint32_t lastInput = 10'000'000;
    bool lastInputFails = false;
};

}  // namespace rw::test
