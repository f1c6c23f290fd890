// A locale with English defaults whose names, separator and time text the test can change;
// it counts how often the day names and the separator are asked for.
#pragma once
#include <array>
#include <string>

#include "platform/Locale.h"

namespace rw::test {

class FakeLocale final : public Locale {
public:
    std::wstring DayName(int index) override;
    std::wstring AbbreviatedDayName(int index) override;
    std::wstring ListSeparator() override;
    std::wstring TimeFormat() override { return timeFormat; }
    // "HH:MM", or "h:MM AM"/"PM" when twelveHour is set.
    std::wstring TimeOfDayText(int hour, int minute) override;
    std::wstring IsoLanguage() override { return isoLanguage; }
    std::wstring IsoCountry() override { return isoCountry; }

    std::array<std::wstring, 7> dayNames{L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                         L"Thursday", L"Friday", L"Saturday"};
    std::array<std::wstring, 7> abbreviatedDayNames{L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    std::wstring listSeparator = L",";
    std::wstring timeFormat = L"HH:mm:ss";
    std::wstring isoLanguage = L"en";
    std::wstring isoCountry = L"GB";
    bool twelveHour = false;

    int nameReads = 0;       // DayName and AbbreviatedDayName calls
    int separatorReads = 0;  // ListSeparator calls
    int timeTextCalls = 0;
    int lastHour = -100, lastMinute = -100;  // arguments of the last TimeOfDayText call
};

}  // namespace rw::test
