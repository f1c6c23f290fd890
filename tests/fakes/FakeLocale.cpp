#include "fakes/FakeLocale.h"

#include <cwchar>

namespace rw::test {

std::wstring FakeLocale::DayName(int index) {
    ++nameReads;
    return index >= 0 && index < 7 ? dayNames[static_cast<size_t>(index)] : std::wstring();
}

std::wstring FakeLocale::AbbreviatedDayName(int index) {
    ++nameReads;
    return index >= 0 && index < 7 ? abbreviatedDayNames[static_cast<size_t>(index)] : std::wstring();
}

std::wstring FakeLocale::ListSeparator() {
    ++separatorReads;
    return listSeparator;
}

std::wstring FakeLocale::TimeOfDayText(int hour, int minute) {
    ++timeTextCalls;
    lastHour = hour;
    lastMinute = minute;
    wchar_t text[32] = {};
    if (twelveHour) {
        const int h12 = hour % 12 == 0 ? 12 : hour % 12;
        std::swprintf(text, 32, L"%d:%02d %ls", h12, minute, hour < 12 ? L"AM" : L"PM");
    } else {
        std::swprintf(text, 32, L"%02d:%02d", hour, minute);
    }
    return text;
}

}  // namespace rw::test
