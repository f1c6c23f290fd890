// A calendar whose "now" and local-time conversion the test sets. Safe to read from the
// worker thread while the test thread moves the clock.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

namespace rw::test {

class FakeCalendar final : public Calendar {
public:
    // Local time = UTC + utcOffsetSeconds.
    explicit FakeCalendar(std::int64_t now = 1700000000, int utcOffsetSeconds = 0);

    std::int64_t Now() override { return now_.load(); }
    std::optional<LocalTime> ToLocal(std::int64_t time) override;

    void SetNow(std::int64_t now) { now_.store(now); }
    void Advance(std::int64_t seconds) { now_.fetch_add(seconds); }
    void SetUtcOffset(int seconds) { offset_.store(seconds); }
    void SetLocalTimeFails(bool fails) { localFails_.store(fails); }
    // From the calendar time `at` on, local time = UTC + offsetAfter (a clock change).
    void SetClockChange(std::int64_t at, int offsetAfter) {
        changeAt_.store(at);
        offsetAfter_.store(offsetAfter);
    }
    // Sets now to the given local wall-clock time.
    void SetLocalNow(int year, int month, int day, int hour, int minute, int second = 0);

    // The calendar time of a local wall-clock time under the current offset.
    std::int64_t LocalToTime(int year, int month, int day, int hour, int minute, int second = 0) const;

private:
    std::atomic<std::int64_t> now_;
    std::atomic<int> offset_;
    std::atomic<bool> localFails_{false};
    std::atomic<std::int64_t> changeAt_{INT64_MAX};
    std::atomic<int> offsetAfter_{0};
};

}  // namespace rw::test
