// One background thread that runs numbered events at calendar times, once or repeatedly,
// and sleeps in between. The manager owns the event table, its lock and the thread, and
// knows nothing of what the events mean: a derived class maps ids to work in OnEvent.
//
// Lifetime: Stop (or the destructor) ends the thread and waits for it, a running handler
// up to a bound, so that closing the program never hangs on it. A handler still running
// after that outlives the manager. Its effects therefore go through a WorkerChannel: it
// holds the block the thread shares with the manager (table, owner's poster, stop flag),
// never the manager, and after a stop it drops every schedule, post and write. Work that
// may run long is given the channel and nothing else of the manager.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "core/EventScheduler.h"
#include "platform/Clock.h"
#include "platform/MessagePoster.h"

namespace rw {

struct ScheduledEvent {
    std::int32_t id = 0;
    std::int64_t start = 0;     // first due; 0 = one interval from scheduling
    std::int64_t interval = 0;  // seconds between runs; 0 = runs once
    bool fired = false;
    std::int64_t due = -1;  // next run; -1 = never (finished)
    bool done = false;      // a one-shot event that ran; swept at the end of the pass
};

// What a handler may do to the world, valid for as long as anyone holds it: once the
// worker is stopped every call does nothing (and reports false).
class WorkerChannel {
public:
    bool Stopped() const;
    // Schedule, as the manager does.
    bool Schedule(std::int32_t id, std::int64_t start, std::int64_t interval);
    // Posts to the owner's window; false when stopped, without an owner or when the post fails.
    bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Runs write (a stored-state write) unless stopped; a stop waits for a write under way.
    // The write runs under the table's lock, so it must not use the channel itself.
    bool Write(const std::function<void()>& write);

private:
    friend class CThreadScheduledEventsManager;
    struct Shared;
    explicit WorkerChannel(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<Shared> shared_;
};

class CThreadScheduledEventsManager : public rw::EventScheduler {
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

    // Every change of the table wakes the thread, which then computes its wait again.
    // Inserts the event or replaces the times of the one with that id (its fired and done
    // marks are cleared). Nothing is scheduled after a stop.
    void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) override;
    // True when there was such an event.
    bool Remove(std::int32_t id) override;
    // Makes the thread compute its wait again after a change of the clock.
    void Wake() override;

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
    // The way to the shared block for a handler (see the top of this header).
    WorkerChannel Channel() const { return WorkerChannel(shared_); }
    // The owner's window, which receives every message posted through a channel; set before
    // the thread starts.
    void SetPoster(std::shared_ptr<rw::MessagePoster> poster);

private:
    using Shared = WorkerChannel::Shared;
    static int ThreadMain(CThreadScheduledEventsManager* manager, std::shared_ptr<Shared> shared);

    // Shared with the thread, which holds it until it ends.
    std::shared_ptr<Shared> shared_;
    rw::Calendar& calendar_;
    const std::chrono::milliseconds stopWaitBound_;
    std::thread thread_;
};

}  // namespace rw
