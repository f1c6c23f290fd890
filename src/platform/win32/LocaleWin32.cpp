#include "platform/win32/LocaleWin32.h"

#include <windows.h>

#include <vector>

namespace rw {
namespace {

std::wstring LocaleText(LCTYPE type) {
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length));
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer.data(), length) <= 0) return {};
    return std::wstring(buffer.data());
}

// Windows numbers the day names from Monday (1) to Sunday (7); ours start on Sunday (0).
LCTYPE DayNameType(LCTYPE mondayType, int index) {
    return mondayType + static_cast<LCTYPE>(index == 0 ? 6 : index - 1);
}

}  // namespace

std::wstring LocaleWin32::DayName(int index) {
    if (index < 0 || index > 6) return {};
    return LocaleText(DayNameType(LOCALE_SDAYNAME1, index));
}

std::wstring LocaleWin32::AbbreviatedDayName(int index) {
    if (index < 0 || index > 6) return {};
    return LocaleText(DayNameType(LOCALE_SABBREVDAYNAME1, index));
}

std::wstring LocaleWin32::ListSeparator() {
    return LocaleText(LOCALE_SLIST);
}

std::wstring LocaleWin32::TimeFormat() {
    return LocaleText(LOCALE_STIMEFORMAT);
}

std::wstring LocaleWin32::TimeOfDayText(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return {};
    SYSTEMTIME time{};
    time.wYear = 2000;  // a valid date; only the time is formatted
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    wchar_t text[260] = {};
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text, 260) <= 0) return {};
    return text;
}

std::wstring LocaleWin32::IsoLanguage() {
    return LocaleText(LOCALE_SISO639LANGNAME);
}

std::wstring LocaleWin32::IsoCountry() {
    return LocaleText(LOCALE_SISO3166CTRYNAME);
}

}  // namespace rw
