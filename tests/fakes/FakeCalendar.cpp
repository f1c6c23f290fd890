#include "fakes/FakeCalendar.h"

namespace rw::test {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

FakeCalendar::FakeCalendar(std::int64_t now, int utcOffsetSeconds) : now_(now), offset_(utcOffsetSeconds) {}

std::optional<LocalTime> FakeCalendar::ToLocal(std::int64_t time) {
    if (localFails_.load()) return std::nullopt;
    const std::int64_t local = time + (time >= changeAt_.load() ? offsetAfter_.load() : offset_.load());
    const std::int64_t days = FloorDiv(local, 86400);
    const std::int64_t secs = local - days * 86400;
    LocalTime lt;
    CivilFromDays(days, lt.year, lt.month, lt.day);
    lt.hour = static_cast<int>(secs / 3600);
    lt.minute = static_cast<int>(secs % 3600 / 60);
    lt.second = static_cast<int>(secs % 60);
    lt.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    return lt;
}

void FakeCalendar::SetLocalNow(int year, int month, int day, int hour, int minute, int second) {
    SetNow(LocalToTime(year, month, day, hour, minute, second));
}

std::int64_t FakeCalendar::LocalToTime(int year, int month, int day, int hour, int minute, int second) const {
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset_.load();
}

}  // namespace rw::test
