#include "engine/BreakTimed.h"

#include <cwctype>

namespace {

constexpr std::int32_t kDaySeconds = 86400;

std::int32_t TimeOfDayOf(std::int64_t time, rw::Calendar& calendar) {
    int hour = -1;
    int minute = -1;
    if (const auto local = calendar.ToLocal(time)) {
        hour = local->hour;
        minute = local->minute;
    }
    return hour * 3600 + minute * 60;
}

// A two-character field read as a decimal number as far as it has digits (leading blanks
// and a sign allowed); 0 when it has none.
int FieldNumber(const std::wstring& text, size_t pos) {
    const std::wstring field = text.substr(pos, 2);
    size_t i = 0;
    while (i < field.size() && std::iswspace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == L'-' || field[i] == L'+')) negative = field[i++] == L'-';
    int value = 0;
    for (; i < field.size() && field[i] >= L'0' && field[i] <= L'9'; ++i) value = value * 10 + (field[i] - L'0');
    return negative ? -value : value;
}

// A number as "%02d" when that takes exactly two characters (-9..99), else empty.
std::wstring TwoCharacters(int n) {
    if (n < -9 || n > 99) return std::wstring();
    if (n < 0) return L"-" + std::to_wstring(-n);
    return std::wstring(1, static_cast<wchar_t>(L'0' + n / 10)) + static_cast<wchar_t>(L'0' + n % 10);
}

// The four characters of the time of day: its hours and minutes as "%02d%02d". A time whose
// hours take more than two characters (only from a hand edit) is written as other hours and
// minutes that fit and reload to the same moment; failing that, as the clock time it shows.
std::wstring TimeField(std::int32_t t) {
    const std::wstring plain = TwoCharacters(t / 3600) + TwoCharacters(t % 3600 / 60);
    if (plain.size() == 4) return plain;
    const std::int32_t minutes = t / 60;
    for (int hours = 99; hours >= -9; --hours) {
        const std::int32_t rest = minutes - hours * 60;
        if (rest >= -9 && rest <= 99) return TwoCharacters(hours) + TwoCharacters(rest);
    }
    const std::int32_t wrapped = ((t % kDaySeconds) + kDaySeconds) % kDaySeconds;
    return TwoCharacters(wrapped / 3600) + TwoCharacters(wrapped % 3600 / 60);
}

std::int32_t WrappedTimeOfDay(std::int32_t t) {
    return ((t % kDaySeconds) + kDaySeconds) % kDaySeconds;
}

}  // namespace

CBreakTimed CBreakTimed::Make(const std::wstring& title, std::int64_t time, const BreakDays& days,
                              rw::Calendar& calendar) {
    CBreakTimed record;
    record.m_strTitle = title;
    record.m_bDays = days;
    record.SetTimeOfDay(time, calendar);
    return record;
}

void CBreakTimed::SetTimeOfDay(std::int64_t time, rw::Calendar& calendar) {
    m_nTimeOfDay = TimeOfDayOf(time, calendar);
}

CBreakTimed CBreakTimed::FromText(const std::wstring& text) {
    CBreakTimed record;
    record.m_bInvalid = true;
    if (text.size() <= kBreakTimedTitleOffset || text[0] != L'0' || text[8] != L',' || text[13] != L',') {
        return record;
    }
    for (size_t day = 0; day < 7; ++day) record.m_bDays[day] = text[1 + day] == L'Y';
    record.m_nTimeOfDay = FieldNumber(text, 9) * 3600 + FieldNumber(text, 11) * 60;
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

rw::LocalTime CBreakTimed::TimePickerValue() const {
    rw::LocalTime value;
    value.hour = ClockHour();
    value.minute = ClockMinute();
    value.second = 0;
    return value;
}
