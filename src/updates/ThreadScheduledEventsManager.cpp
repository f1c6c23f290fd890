#include "updates/ThreadScheduledEventsManager.h"

#include <atomic>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <vector>

namespace rw {

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    if (b > 0 && a > kInt64Max - b) return kInt64Max;
    if (b < 0 && a < std::numeric_limits<std::int64_t>::min() - b) return std::numeric_limits<std::int64_t>::min();
    return a + b;
}

enum class WorkerState { Idle, Looping, InHandler, Finished };

}  // namespace

// Everything the thread and the callers meet on. One mutex guards the table and stands in
// for the stop and wake events: the thread sleeps on `signal` until one of them is set.
struct WorkerChannel::Shared {
    explicit Shared(rw::Calendar& c) : calendar(c) {}
    rw::Calendar& calendar;  // lives for the whole process
    mutable std::mutex mutex;
    std::condition_variable signal;        // stop or wake set
    std::condition_variable stateChanged;  // the thread left a handler or ended
    std::map<std::int32_t, ScheduledEvent> table;
    // The stop event and flag in one: set under the mutex, once set it stays set; atomic so
    // that handlers can read it without the lock.
    std::atomic<bool> stopFlag{false};
    bool wakeSignalled = false;  // the wake event: the thread clears it when it wakes
    bool autoDelete = false;
    WorkerState state = WorkerState::Idle;
    std::vector<std::shared_ptr<void>> keptAlive;
    std::shared_ptr<rw::MessagePoster> poster;

    // Under the mutex. Nothing is scheduled once stopped.
    bool ScheduleLocked(std::int32_t id, std::int64_t start, std::int64_t interval, std::int64_t now) {
        if (stopFlag.load()) return false;
        if (interval < 0) interval = 0;  // a negative period would run the event on every pass
        try {
            ScheduledEvent& event = table[id];  // the only step that allocates
            event.id = id;
            event.start = start;
            event.interval = interval;
            event.fired = false;
            event.done = false;
            event.due = start != 0 ? start : SaturatingAdd(now, interval);
        } catch (const std::bad_alloc&) {
            return false;  // the table stays as it was
        }
        return true;
    }
    void WakeLocked() {
        wakeSignalled = true;
        signal.notify_all();
    }
};

bool WorkerChannel::Stopped() const {
    return shared_->stopFlag.load();
}

bool WorkerChannel::Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) {
    const std::int64_t now = shared_->calendar.Now();
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (!shared_->ScheduleLocked(id, start, interval, now)) return false;
    shared_->WakeLocked();
    return true;
}

bool WorkerChannel::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // Under the lock, so that no post comes after Stop has set the flag.
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->stopFlag.load() || !shared_->poster) return false;
    return shared_->poster->Post(message, wParam, lParam);
}

bool WorkerChannel::Write(const std::function<void()>& write) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->stopFlag.load()) return false;
    write();
    return true;
}

CThreadScheduledEventsManager::CThreadScheduledEventsManager(rw::Calendar& calendar,
                                                             std::chrono::milliseconds stopWaitBound)
    : shared_(std::make_shared<Shared>(calendar)), calendar_(calendar), stopWaitBound_(stopWaitBound) {}

CThreadScheduledEventsManager::~CThreadScheduledEventsManager() {
    StopThread(false);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->table.clear();
}

void CThreadScheduledEventsManager::Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) {
    Channel().Schedule(id, start, interval);
}

void CThreadScheduledEventsManager::SetPoster(std::shared_ptr<rw::MessagePoster> poster) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->poster = std::move(poster);
}

bool CThreadScheduledEventsManager::Remove(std::int32_t id) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->table.erase(id) == 0) return false;
    shared_->WakeLocked();
    return true;
}

void CThreadScheduledEventsManager::Wake() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->WakeLocked();
}

std::int64_t CThreadScheduledEventsManager::EarliestDue() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    std::int64_t earliest = kInt64Max;
    for (const auto& entry : shared_->table) {
        // "Never" is not a time: a finished or never-due event must not hide the others.
        if (entry.second.due != kNever && entry.second.due < earliest) earliest = entry.second.due;
    }
    return earliest == kInt64Max ? kNever : earliest;
}

void CThreadScheduledEventsManager::RunDue() {
    // From here on the pass reaches the table only through `shared`, which the thread keeps
    // alive, and reaches this object only after checking, under the lock, that no stop came:
    // after a stop, once the handler returns, nothing of this object is touched.
    const std::shared_ptr<Shared> keep = shared_;
    Shared& shared = *keep;
    rw::Calendar& calendar = calendar_;
    const std::int64_t now = calendar.Now();

    std::unique_lock<std::mutex> lock(shared.mutex);
    std::optional<std::int32_t> last;
    for (;;) {
        if (shared.stopFlag.load()) return;
        auto it = last ? shared.table.upper_bound(*last) : shared.table.begin();
        while (it != shared.table.end() && (it->second.due == kNever || now < it->second.due)) ++it;
        if (it == shared.table.end()) break;

        ScheduledEvent& event = it->second;
        last = event.id;
        event.fired = true;
        if (event.interval == 0) event.done = true;
        // A repeating event counts its next period from the moment it ran.
        event.due = event.done ? kNever : SaturatingAdd(calendar.Now(), event.interval);
        const std::int32_t id = event.id;

        const WorkerState before = shared.state;
        shared.state = WorkerState::InHandler;
        lock.unlock();
        bool failed = false;
        try {
            OnEvent(id);
        } catch (...) {
            failed = true;  // ends this pass silently
        }
        lock.lock();
        shared.state = before;
        shared.stateChanged.notify_all();
        if (failed) break;
    }
    if (shared.stopFlag.load()) return;
    // A one-shot event scheduled again while its handler ran has its done mark cleared and
    // stays.
    for (auto it = shared.table.begin(); it != shared.table.end();) {
        it = it->second.done ? shared.table.erase(it) : std::next(it);
    }
}

bool CThreadScheduledEventsManager::StartThread() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (thread_.joinable()) return true;
    if (shared_->stopFlag.load()) return false;
    // The first computation of the wait sees everything scheduled so far.
    shared_->wakeSignalled = false;
    shared_->state = WorkerState::Looping;
    try {
        thread_ = std::thread(&CThreadScheduledEventsManager::ThreadMain, this, shared_);
    } catch (const std::system_error&) {
        shared_->state = WorkerState::Idle;
        return false;
    }
    return true;
}

void CThreadScheduledEventsManager::Stop(bool autoDelete) {
    StopThread(autoDelete);
}

void CThreadScheduledEventsManager::StopThread(bool autoDelete) {
    const std::shared_ptr<Shared> keep = shared_;  // outlives this object in the auto-delete case
    Shared& shared = *keep;
    std::unique_lock<std::mutex> lock(shared.mutex);
    shared.stopFlag.store(true);
    shared.signal.notify_all();
    if (!thread_.joinable()) return;

    if (autoDelete) {
        // The thread frees the object as it ends: let it go. Detaching under the lock comes
        // before the thread can see the flag.
        shared.autoDelete = true;
        thread_.detach();
        return;
    }
    // A handler that stops its own worker cannot wait for itself; the thread ends after the
    // handler and the owner's next Stop or the destructor joins it.
    if (thread_.get_id() == std::this_thread::get_id()) return;

    // Outside a handler the thread only runs short steps and ends at once on the stop; a
    // handler gets until the bound.
    const auto deadline = std::chrono::steady_clock::now() + stopWaitBound_;
    while (shared.state != WorkerState::Finished) {
        if (shared.state == WorkerState::InHandler) {
            if (shared.stateChanged.wait_until(lock, deadline) == std::cv_status::timeout &&
                shared.state == WorkerState::InHandler) {
                break;
            }
        } else {
            shared.stateChanged.wait(lock);
        }
    }
    const bool finished = shared.state == WorkerState::Finished;
    lock.unlock();
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();  // the handler is left behind; see the header
    }
}

void CThreadScheduledEventsManager::KeepWhileThreadRuns(std::shared_ptr<void> object) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->keptAlive.push_back(std::move(object));
}

bool CThreadScheduledEventsManager::StopRequested() const {
    return shared_->stopFlag.load();
}

std::shared_ptr<const std::atomic<bool>> CThreadScheduledEventsManager::StopToken() const {
    return std::shared_ptr<const std::atomic<bool>>(shared_, &shared_->stopFlag);  // shares the block's lifetime
}

std::optional<ScheduledEvent> CThreadScheduledEventsManager::Find(std::int32_t id) const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    const auto it = shared_->table.find(id);
    if (it == shared_->table.end()) return std::nullopt;
    return it->second;
}

std::int64_t CThreadScheduledEventsManager::WaitTimeoutMs(std::int64_t now, std::int64_t next) {
    if (next == kNever) return -1;
    if (now >= next) return 0;
    // next > now, so the unsigned difference is exact even across the sign.
    const std::uint64_t seconds = static_cast<std::uint64_t>(next) - static_cast<std::uint64_t>(now);
    if (seconds > static_cast<std::uint64_t>(kMaxWaitMs / 1000)) return kMaxWaitMs;
    return static_cast<std::int64_t>(seconds) * 1000;
}

int CThreadScheduledEventsManager::ThreadMain(CThreadScheduledEventsManager* manager,
                                              std::shared_ptr<Shared> sharedOwner) {
    if (!manager || !sharedOwner) return -1;
    Shared& shared = *sharedOwner;
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        if (shared.stopFlag.load()) break;
        lock.unlock();
        const std::int64_t now = manager->calendar_.Now();
        const std::int64_t timeout = WaitTimeoutMs(now, manager->EarliestDue());
        manager->OnWaiting(timeout);
        lock.lock();
        const auto signalled = [&] { return shared.stopFlag.load() || shared.wakeSignalled; };
        bool woken = true;
        if (timeout < 0) {
            shared.signal.wait(lock, signalled);
        } else {
            woken = shared.signal.wait_for(lock, std::chrono::milliseconds(timeout), signalled);
        }
        if (shared.stopFlag.load()) break;
        if (woken) {
            shared.wakeSignalled = false;
            continue;
        }
        lock.unlock();
        manager->RunDue();
        lock.lock();
    }
    shared.state = WorkerState::Finished;
    const bool autoDelete = shared.autoDelete;
    shared.stateChanged.notify_all();
    lock.unlock();
    if (autoDelete) delete manager;
    return 0;
}

}  // namespace rw
