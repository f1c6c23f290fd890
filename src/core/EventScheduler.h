// The scheduled-events worker as the break engine and the notification-area icon use it,
// by the event numbers of core/ScheduledEventIds.h. Every change wakes the worker, so that it
// waits for the new earliest event.
#pragma once
#include <cstdint>

namespace rw {

class EventScheduler {
public:
    virtual ~EventScheduler() = default;
    // Adds the event or moves it: start and interval in calendar seconds (interval 0: once).
    virtual void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) = 0;
    // False when there was no such event.
    virtual bool Remove(std::int32_t id) = 0;
    // Makes the worker compute its wait again, after the clock was changed.
    virtual void Wake() = 0;
};

}  // namespace rw
