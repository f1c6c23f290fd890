#include "engine/PlannedBreakList.h"

#include <new>

#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

constexpr int kStopLoadingFrom = 100;

std::int64_t CutToMinute(std::int64_t time) {
    const std::int64_t rest = time % 60;
    return time - (rest < 0 ? rest + 60 : rest);
}

}  // namespace

size_t CPlannedBreakList::Insert(std::unique_ptr<CBreakTimed> record) {
    if (!record) return records_.size();
    auto at = records_.begin();
    while (at != records_.end() && (*at)->m_nTimeOfDay <= record->m_nTimeOfDay) ++at;
    const auto inserted = records_.insert(at, std::move(record));
    return static_cast<size_t>(inserted - records_.begin());
}

std::unique_ptr<CBreakTimed> CPlannedBreakList::RemoveAt(size_t index) {
    if (index >= records_.size()) return nullptr;
    std::unique_ptr<CBreakTimed> record = std::move(records_[index]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    return record;
}

void CPlannedBreakList::CopyFrom(const CPlannedBreakList& other) {
    Records copies;
    copies.reserve(other.size());
    for (const auto& record : other) copies.push_back(std::make_unique<CBreakTimed>(*record));
    records_ = std::move(copies);
}

CBreakTimed LoadBreakTimed(const SettingsIdentity& identity, int n) {
    return CBreakTimed::FromText(ReadTimedEntry(identity, n));
}

HResult SaveBreakTimed(const SettingsIdentity& identity, int n, const CBreakTimed& record) {
    return WriteTimedEntry(identity, n, record.ToText());
}

CPlannedBreakList LoadPlannedBreakList(const SettingsIdentity& identity) {
    CPlannedBreakList list;
    const auto count = static_cast<std::int32_t>(ReadSettingDword(identity, Setting::Timed));
    try {
        for (std::int32_t n = 0; n < count; ++n) {
            CBreakTimed record = LoadBreakTimed(identity, n);
            if (record.m_bInvalid) {
                if (n >= kStopLoadingFrom) break;
                continue;
            }
            list.Insert(std::make_unique<CBreakTimed>(std::move(record)));
        }
    } catch (const std::bad_alloc&) {
        // Keep what was loaded so far.
    }
    return list;
}

void SavePlannedBreakList(const SettingsIdentity& identity, const CPlannedBreakList& list) {
    int n = 0;
    for (const auto& record : list) SaveBreakTimed(identity, n++, *record);
    WriteSettingDword(identity, Setting::Timed, static_cast<std::uint32_t>(n));
}

std::optional<PlannedOccurrence> NextOccurrence(const CBreakTimed& record, std::int64_t now, int weekday, int nowSecs) {
    if (weekday < 0 || weekday > 6) return std::nullopt;
    const std::int64_t t = record.m_nTimeOfDay - record.m_nTimeOfDay % 60;
    int d = -1;
    if (record.m_bDays[static_cast<size_t>(weekday)] && t >= nowSecs) {
        d = 0;  // a break in the current minute still counts as today
    } else {
        for (int ahead = 1; ahead <= 7; ++ahead) {
            if (record.m_bDays[static_cast<size_t>((weekday + ahead) % 7)]) {
                d = ahead;
                break;
            }
        }
    }
    if (d < 0) return std::nullopt;
    return PlannedOccurrence{CutToMinute(now) - nowSecs + std::int64_t{d} * 86400 + t, d};
}

NextPlannedBreak FindNextPlannedBreak(const CPlannedBreakList& list, std::int64_t now, Calendar& calendar) {
    NextPlannedBreak result;
    if (list.empty()) return result;
    int hour = -1, minute = -1, weekday = -1;
    if (const auto local = calendar.ToLocal(now)) {
        hour = local->hour;
        minute = local->minute;
        weekday = local->weekday;
    }
    const int nowSecs = hour * 3600 + minute * 60;

    std::optional<PlannedOccurrence> best;
    // Backwards, with ties replacing the kept record: the first of equal times wins.
    for (size_t i = list.size(); i-- > 0;) {
        const auto occurrence = NextOccurrence(list[i], now, weekday, nowSecs);
        if (occurrence && (!best || occurrence->time <= best->time)) {
            best = occurrence;
            result.record = &list[i];
        }
    }
    if (best) {
        result.secondsUntil = static_cast<std::int32_t>(best->time - now);
        result.daysAhead = best->daysAhead;
    }
    return result;
}

}  // namespace rw
