// One background thread that runs numbered events at calendar times, once or repeatedly,
// and sleeps in between. The manager owns the event table, its lock and the thread, and
// knows nothing of what the events mean: a derived class maps ids to work in OnEvent.
//
// Lifetime: Stop (or the destructor) ends the thread and waits for it. A handler still
// running after the stop bound is left behind, so that closing the program never hangs on
// it: the thread keeps its own share of the table and signals and, once that handler
// returns, ends without touching the manager again. A handler that may run long therefore
// takes, before its slow part, all it will use afterwards (StopToken() to learn of the
// stop, shared owners of what it posts to) and does not touch the manager after it.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "platform/Clock.h"

namespace nsHalden {

struct ScheduledEvent {
    std::int32_t id = 0;
    std::int64_t start = 0;     // first due; 0 = one interval from scheduling
    std::int64_t interval = 0;  // seconds between runs; 0 = runs once
    bool fired = false;
    std::int64_t due = -1;  // next run; -1 = never (finished)
    bool done = false;      // a one-shot event that ran; swept at the end of the pass
};

class CThreadScheduledEventsManager {
public:
    static constexpr std::int64_t kNever = -1;
    // Long enough for any handler that only posts or writes a value to finish; short enough
    // that a stuck download cannot hold up the end of a session or a log-off.
    static constexpr std::chrono::milliseconds kStopWaitBound{2000};
    // The longest single sleep: the range of a 32-bit millisecond timeout. Later due times
    // are reached by waking and computing the wait again.
    static constexpr std::int64_t kMaxWaitMs = 0xFFFFFFFEll;

    explicit CThreadScheduledEventsManager(rw::Calendar& calendar,
                                           std::chrono::milliseconds stopWaitBound = kStopWaitBound);
    // Virtual so that the auto-delete form destroys the whole derived object.
    virtual ~CThreadScheduledEventsManager();
    CThreadScheduledEventsManager(const CThreadScheduledEventsManager&) = delete;
    CThreadScheduledEventsManager& operator=(const CThreadScheduledEventsManager&) = delete;

    // Inserts the event or replaces the times of the one with that id (its fired and done
    // marks are cleared). Does not wake the thread.
    void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval);
    void ScheduleAndWake(std::int32_t id, std::int64_t start, std::int64_t interval);
    // True when there was such an event; the caller wakes the thread.
    bool Remove(std::int32_t id);
    // Makes the thread compute its wait again (after a change of the table or the clock).
    void Wake();

    // The earliest due time, or kNever when nothing is due.
    std::int64_t EarliestDue() const;
    // Runs every event that is due now, in ascending id order, then drops finished one-shot
    // events. Called by the thread.
    void RunDue();

    // Starts the thread unless it runs; false when it cannot start or the manager was
    // stopped (a stopped manager stays stopped).
    bool StartThread();
    // Ends the thread: no handler starts after this call. With autoDelete the thread frees
    // this object when it ends (only for a manager made with new whose thread runs; the
    // caller must not touch the object afterwards); otherwise Stop waits for the thread as
    // described above.
    virtual void Stop(bool autoDelete);

    // Keeps object alive until both this manager and its thread are gone.
    void KeepWhileThreadRuns(std::shared_ptr<void> object);

    bool StopRequested() const;
    // The stop flag, readable at any time, also after the manager is gone.
    std::shared_ptr<const std::atomic<bool>> StopToken() const;
    // The thread was started and not yet joined or let go (user-interface thread).
    bool IsRunning() const { return thread_.joinable(); }
    // A copy of the event with that id, if there is one.
    std::optional<ScheduledEvent> Find(std::int32_t id) const;

    // The wait for a due time next at now: -1 for none (no timeout), 0 when due, else the
    // milliseconds until it, at most kMaxWaitMs.
    static std::int64_t WaitTimeoutMs(std::int64_t now, std::int64_t next);

protected:
    // Runs on the worker thread for each event that comes due; never with the table locked.
    virtual void OnEvent(std::int32_t id) = 0;
    // Called on the worker thread just before it sleeps, with the timeout it will use.
    virtual void OnWaiting(std::int64_t timeoutMs) { (void)timeoutMs; }

    // Ends the thread as Stop does; for destructors of derived classes, which must stop the
    // thread before their part of the object is gone.
    void StopThread(bool autoDelete);

    rw::Calendar& calendar() const { return calendar_; }

private:
    struct Shared;
    static int ThreadMain(CThreadScheduledEventsManager* manager, std::shared_ptr<Shared> shared);

    // Shared with the thread, which holds it until it ends.
    std::shared_ptr<Shared> shared_;
    rw::Calendar& calendar_;
    const std::chrono::milliseconds stopWaitBound_;
    std::thread thread_;
};

}  // namespace nsHalden
