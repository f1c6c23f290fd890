// The ordered list of planned breaks, which owns its records; their registry storage
// ("Timed" and "Timed-%d" in section "Breaks"); and the search for the next planned break.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/BreakTimed.h"
#include "platform/Clock.h"
#include "platform/HResult.h"
#include "settings/SettingsStore.h"

namespace rw {

class CPlannedBreakList {
public:
    using Records = std::vector<std::unique_ptr<CBreakTimed>>;

    CPlannedBreakList() = default;
    CPlannedBreakList(CPlannedBreakList&&) = default;
    CPlannedBreakList& operator=(CPlannedBreakList&&) = default;
    CPlannedBreakList(const CPlannedBreakList&) = delete;
    CPlannedBreakList& operator=(const CPlannedBreakList&) = delete;

    // Before the first record whose time is strictly later, so equal times keep the order
    // in which they were added. Returns the record's position.
    size_t Insert(std::unique_ptr<CBreakTimed> record);
    size_t Insert(const CBreakTimed& record) { return Insert(std::make_unique<CBreakTimed>(record)); }
    // Takes a record out (to edit and insert it again); null when index is out of range.
    std::unique_ptr<CBreakTimed> RemoveAt(size_t index);
    void Clear() { records_.clear(); }
    // Replaces the contents with copies of other's records, in other's order.
    void CopyFrom(const CPlannedBreakList& other);

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    const CBreakTimed& operator[](size_t index) const { return *records_[index]; }
    Records::const_iterator begin() const { return records_.begin(); }
    Records::const_iterator end() const { return records_.end(); }

private:
    Records records_;
};

// Record n ("Timed-%d"), read from the per-user "Breaks" key; a missing or unreadable value
// gives an invalid record.
CBreakTimed LoadBreakTimed(const SettingsIdentity& identity, int n);
HResult SaveBreakTimed(const SettingsIdentity& identity, int n, const CBreakTimed& record);

// The main window's list at start-up: records 0 .. "Timed" - 1 in time order. Invalid records
// are skipped below number 100 and end the loading from 100 on.
CPlannedBreakList LoadPlannedBreakList(const SettingsIdentity& identity);
// Saves every record with its position as n, then "Timed" = the number of records. Values
// of higher numbers left from an earlier, longer list stay, unread.
void SavePlannedBreakList(const SettingsIdentity& identity, const CPlannedBreakList& list);

struct PlannedOccurrence {
    std::int64_t time;  // calendar time of the occurrence
    int daysAhead;      // 0 today … 7 the same weekday next week
};

// The next occurrence of record at or after the current minute, for the local weekday
// (0 = Sunday) and local time of day nowSecs (hours and minutes only) of now.
std::optional<PlannedOccurrence> NextOccurrence(const CBreakTimed& record, std::int64_t now, int weekday, int nowSecs);

struct NextPlannedBreak {
    const CBreakTimed* record = nullptr;  // none: no planned break will come
    std::int32_t secondsUntil = -999;     // -59..0 during the break's own minute
    int daysAhead = -1;
};

// Among records with the same next occurrence the earliest in the list wins.
NextPlannedBreak FindNextPlannedBreak(const CPlannedBreakList& list, std::int64_t now, Calendar& calendar);

}  // namespace rw
