#include "engine/BreakTimed.h"

namespace rw {

namespace {

constexpr std::int32_t kDaySeconds = 86400;

std::int32_t TimeOfDayOf(std::int64_t time, Calendar& calendar) {
    int hour = -1;
    int minute = -1;
    if (const auto local = calendar.ToLocal(time)) {
        hour = local->hour;
        minute = local->minute;
    }
    return hour * 3600 + minute * 60;
}

// Two decimal digits at pos as a number; -1 when either is not a digit.
int TwoDigits(const std::wstring& text, size_t pos) {
    const wchar_t tens = text[pos];
    const wchar_t ones = text[pos + 1];
    if (tens < L'0' || tens > L'9' || ones < L'0' || ones > L'9') return -1;
    return (tens - L'0') * 10 + (ones - L'0');
}

std::int32_t WrappedTimeOfDay(std::int32_t t) {
    return ((t % kDaySeconds) + kDaySeconds) % kDaySeconds;
}

// The four characters of the time of day: "%02d%02d" of its clock hour and minute.
std::wstring TimeField(std::int32_t t) {
    const std::int32_t clock = WrappedTimeOfDay(t);
    const int hour = clock / 3600;
    const int minute = clock % 3600 / 60;
    return {static_cast<wchar_t>(L'0' + hour / 10), static_cast<wchar_t>(L'0' + hour % 10),
            static_cast<wchar_t>(L'0' + minute / 10), static_cast<wchar_t>(L'0' + minute % 10)};
}

}  // namespace

CBreakTimed CBreakTimed::Make(const std::wstring& title, std::int64_t time, const BreakDays& days, Calendar& calendar) {
    CBreakTimed record;
    record.m_strTitle = title;
    record.m_bDays = days;
    record.SetTimeOfDay(time, calendar);
    return record;
}

void CBreakTimed::SetTimeOfDay(std::int64_t time, Calendar& calendar) {
    m_nTimeOfDay = TimeOfDayOf(time, calendar);
}

CBreakTimed CBreakTimed::FromText(const std::wstring& text) {
    CBreakTimed record;
    record.m_bInvalid = true;
    if (text.size() <= kBreakTimedTitleOffset || text[0] != L'0' || text[8] != L',' || text[13] != L',') {
        return record;
    }
    // A time of day is hours 00-23 and minutes 00-59; anything else makes no time at all.
    const int hour = TwoDigits(text, 9);
    const int minute = TwoDigits(text, 11);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return record;
    for (size_t day = 0; day < 7; ++day) record.m_bDays[day] = text[1 + day] == L'Y';
    record.m_nTimeOfDay = hour * 3600 + minute * 60;
    record.m_strTitle = text.substr(kBreakTimedTitleOffset);
    record.m_bInvalid = !record.IsValid();
    return record;
}

std::wstring CBreakTimed::ToText() const {
    std::wstring text = L"0";
    for (bool day : m_bDays) text += day ? L'Y' : L'N';
    text += L',';
    text += TimeField(m_nTimeOfDay);
    text += L',';
    text += m_strTitle.substr(0, kBreakTimedTitleMax);
    return text;
}

bool CBreakTimed::AnyDay() const {
    for (bool day : m_bDays) {
        if (day) return true;
    }
    return false;
}

bool CBreakTimed::AllDays() const {
    for (bool day : m_bDays) {
        if (!day) return false;
    }
    return true;
}

bool CBreakTimed::IsValid() const {
    return !m_strTitle.empty() && AnyDay();
}

int CBreakTimed::ClockHour() const {
    return WrappedTimeOfDay(m_nTimeOfDay) / 3600;
}

int CBreakTimed::ClockMinute() const {
    return WrappedTimeOfDay(m_nTimeOfDay) % 3600 / 60;
}

LocalTime CBreakTimed::TimePickerValue() const {
    LocalTime value;
    value.hour = ClockHour();
    value.minute = ClockMinute();
    value.second = 0;
    return value;
}

}  // namespace rw
