// The Win32 locale adapter under Wine: the default locale's names, separator and time text.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "engine/PlannedBreakTexts.h"
#include "platform/win32/LocaleWin32.h"

using rw::CBreakTimed;

namespace {

TEST(LocaleWin32, DefaultLocaleNamesAndSeparator) {
    rw::LocaleWin32 locale;
    // The test prefix runs in the default locale, English (United States).
    EXPECT_EQ(locale.IsoLanguage(), L"en");
    EXPECT_EQ(locale.IsoCountry(), L"US");
    const wchar_t* names[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    const wchar_t* shortNames[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    for (int day = 0; day < 7; ++day) {
        EXPECT_EQ(locale.DayName(day), names[day]);
        EXPECT_EQ(locale.AbbreviatedDayName(day), shortNames[day]);
    }
    EXPECT_EQ(locale.DayName(7), L"");
    EXPECT_EQ(locale.AbbreviatedDayName(-1), L"");
    EXPECT_EQ(locale.ListSeparator(), L",");
    EXPECT_EQ(locale.TimeFormat(), L"h:mm:ss tt");
}

TEST(LocaleWin32, TimeOfDayTextHasNoSeconds) {
    rw::LocaleWin32 locale;
    const std::pair<int, int> times[] = {{13, 5}, {0, 0}, {12, 0}, {23, 59}, {9, 30}};
    const wchar_t* texts[] = {L"1:05 PM", L"12:00 AM", L"12:00 PM", L"11:59 PM", L"9:30 AM"};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(locale.TimeOfDayText(times[i].first, times[i].second), texts[i]);
    EXPECT_EQ(locale.TimeOfDayText(24, 0), L"");
    EXPECT_EQ(locale.TimeOfDayText(12, 60), L"");
    EXPECT_EQ(locale.TimeOfDayText(-1, 0), L"");
}

TEST(LocaleWin32, PlannedBreakTextsInTheDefaultLocale) {
    rw::LocaleWin32 locale;
    rw::CPlannedBreakTexts texts(locale);
    const CBreakTimed lunch = CBreakTimed::FromText(L"0NYYYYYN,1230,Lunch");
    EXPECT_EQ(texts.TimeText(lunch), L"12:30 PM");
    EXPECT_EQ(texts.DaysText(lunch), L"Mon,Tue,Wed,Thu,Fri");
    EXPECT_EQ(texts.DaysText(CBreakTimed::FromText(L"0YNNNNNY,0800,Weekend")), L"Sat,Sun");
    EXPECT_EQ(texts.DaysText(CBreakTimed::FromText(L"0YYYYYYY,0800,Daily")), L"Every day");
}

}  // namespace
