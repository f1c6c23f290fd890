// Planned breaks: the text form, the time-ordered list, the next-occurrence search and the
// locale texts, with a controllable calendar and locale.
#include <gtest/gtest.h>

#include "engine/PlannedBreakList.h"
#include "engine/PlannedBreakTexts.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeLocale.h"

using namespace rw;

using rw::test::FakeCalendar;
using rw::test::FakeLocale;

namespace {

// 2024-05-13 is a Monday.
constexpr int kYear = 2024, kMonth = 5, kMonday = 13;
enum Day { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

BreakDays DaysOf(std::initializer_list<int> days) {
    BreakDays set{};
    for (int d : days) set[static_cast<size_t>(d)] = true;
    return set;
}

CBreakTimed Record(const wchar_t* title, int hour, int minute, BreakDays days) {
    CBreakTimed record;
    record.m_strTitle = title;
    record.m_nTimeOfDay = hour * 3600 + minute * 60;
    record.m_bDays = days;
    return record;
}

TEST(BreakTimedText, ParsesTheStoredForm) {
    struct Case {
        const wchar_t* text;
        bool valid;
        BreakDays days;
        std::int32_t timeOfDay;
        const wchar_t* title;
    };
    const Case cases[] = {
        {L"0NYYYYYN,1230,Lunch", true, DaysOf({Mon, Tue, Wed, Thu, Fri}), 12 * 3600 + 30 * 60, L"Lunch"},
        {L"0YNNNNNY,0000,a,b", true, DaysOf({Sun, Sat}), 0, L"a,b"},
        {L"0YxYnnyy,0705,X", true, DaysOf({Sun, Tue}), 7 * 3600 + 5 * 60, L"X"},  // only "Y" sets a day
        {L"0YYYYYYY,2359,Late", true, DaysOf({Sun, Mon, Tue, Wed, Thu, Fri, Sat}), 23 * 3600 + 59 * 60, L"Late"},
        // Hours 00-23 and minutes 00-59 in two digits each; anything else is no time at all.
        {L"0YYYYYYY,2400,Midnight", false, {}, 0, L""},
        {L"0YYYYYYY,2360,Odd", false, {}, 0, L""},
        {L"0YYYYYYY,2575,Odd", false, {}, 0, L""},
        {L"0YYYYYYY,-9-9,Negative", false, {}, 0, L""},
        {L"0YYYYYYY,-1-1,Negative", false, {}, 0, L""},
        {L"0NNNNNNY,ab12,X", false, {}, 0, L""},
        {L"0NNNNNNY,1a3b,X", false, {}, 0, L""},
        {L"0NNNNNNY, 9-1,X", false, {}, 0, L""},
        {L"0NNNNNNY,+912,X", false, {}, 0, L""},
        {L"0NNNNNNN,1230,Lunch", false, {}, 12 * 3600 + 30 * 60, L"Lunch"},  // no day
        {L"0NYYYYYN,1230,", false, {}, 0, L""},                              // 14 characters: no title
        {L"1NYYYYYN,1230,Lunch", false, {}, 0, L""},
        {L"0NYYYYYN;1230,Lunch", false, {}, 0, L""},
        {L"0NYYYYYN,1230;Lunch", false, {}, 0, L""},
        {L"", false, {}, 0, L""},
    };
    for (const Case& c : cases) {
        const CBreakTimed record = CBreakTimed::FromText(c.text);
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(record.m_bInvalid, !c.valid);
        EXPECT_EQ(record.m_nTimeOfDay, c.timeOfDay);
        EXPECT_EQ(record.m_strTitle, c.title);
        if (c.valid) {
            EXPECT_EQ(record.m_bDays, c.days);
        }
    }
}

TEST(BreakTimedText, SavesTheStoredForm) {
    EXPECT_EQ(Record(L"Lunch", 12, 30, DaysOf({Mon, Tue, Wed, Thu, Fri})).ToText(), L"0NYYYYYN,1230,Lunch");
    EXPECT_EQ(Record(L"Early", 0, 5, DaysOf({Sun})).ToText(), L"0YNNNNNN,0005,Early");
    // A title too long for the stored text is cut so that the record still loads.
    const std::wstring longTitle(300, L'x');
    const std::wstring text = Record(longTitle.c_str(), 9, 0, DaysOf({Mon})).ToText();
    EXPECT_EQ(text.size(), kBreakTimedTextMax);
    const CBreakTimed back = CBreakTimed::FromText(text);
    EXPECT_FALSE(back.m_bInvalid);
    EXPECT_EQ(back.m_strTitle, longTitle.substr(0, kBreakTimedTitleMax));
}

TEST(BreakTimedText, MakeTakesTheLocalHourAndMinute) {
    FakeCalendar calendar(0, 2 * 3600);
    const BreakDays days = DaysOf({Mon, Fri});
    const CBreakTimed made =
        CBreakTimed::Make(L"Tea", calendar.LocalToTime(kYear, kMonth, kMonday, 15, 45, 59), days, calendar);
    EXPECT_FALSE(made.m_bInvalid);
    EXPECT_EQ(made.m_nTimeOfDay, 15 * 3600 + 45 * 60);  // seconds dropped
    EXPECT_EQ(made.m_bDays, days);
    EXPECT_EQ(made.TimePickerValue().hour, 15);
    EXPECT_EQ(made.TimePickerValue().minute, 45);
    EXPECT_EQ(made.TimePickerValue().second, 0);

    CBreakTimed changed = made;
    calendar.SetLocalTimeFails(true);
    changed.SetTimeOfDay(calendar.LocalToTime(kYear, kMonth, kMonday, 8, 0), calendar);
    EXPECT_EQ(changed.m_nTimeOfDay, -3600 - 60);    // -1 hours, -1 minutes
    EXPECT_EQ(changed.TimePickerValue().hour, 22);  // still a real time for the picker
    EXPECT_EQ(changed.TimePickerValue().minute, 59);
}

TEST(PlannedBreakList, KeepsTimeOrderAndTheOrderOfEqualTimes) {
    CPlannedBreakList list;
    EXPECT_EQ(list.Insert(Record(L"noon", 12, 0, DaysOf({Mon}))), 0u);
    EXPECT_EQ(list.Insert(Record(L"nine", 9, 0, DaysOf({Mon}))), 0u);
    EXPECT_EQ(list.Insert(Record(L"noon again", 12, 0, DaysOf({Tue}))), 2u);
    EXPECT_EQ(list.Insert(Record(L"ten", 10, 0, DaysOf({Mon}))), 1u);
    EXPECT_EQ(list.Insert(std::unique_ptr<CBreakTimed>()), 4u);  // nothing to insert
    ASSERT_EQ(list.size(), 4u);
    const wchar_t* expected[] = {L"nine", L"ten", L"noon", L"noon again"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(list[i].m_strTitle, expected[i]);

    std::unique_ptr<CBreakTimed> taken = list.RemoveAt(1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->m_strTitle, L"ten");
    EXPECT_FALSE(list.RemoveAt(3));
    EXPECT_EQ(list.size(), 3u);

    CPlannedBreakList copy;
    copy.Insert(Record(L"old", 1, 0, DaysOf({Sun})));
    copy.CopyFrom(list);
    ASSERT_EQ(copy.size(), 3u);
    EXPECT_EQ(copy[2].m_strTitle, L"noon again");
    EXPECT_NE(&copy[0], &list[0]);  // copies, not shared records
    list.Clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(copy[0].m_strTitle, L"nine");
}

class PlannedBreakSearch : public ::testing::Test {
protected:
    // Local time is UTC + 2 hours, so a search that used UTC fields would be two hours off.
    FakeCalendar calendar{0, 2 * 3600};
    CPlannedBreakList list;

    NextPlannedBreak FindAt(int day, int hour, int minute, int second) {
        calendar.SetLocalNow(kYear, kMonth, day, hour, minute, second);
        return FindNextPlannedBreak(list, calendar.Now(), calendar);
    }
};

TEST_F(PlannedBreakSearch, SecondsAndDaysAhead) {
    struct Case {
        BreakDays days;
        int hour, minute;                           // the record
        int nowDay, nowHour, nowMinute, nowSecond;  // local now
        std::int32_t secondsUntil;
        int daysAhead;
    };
    const Case cases[] = {
        // Later today.
        {DaysOf({Mon}), 12, 30, kMonday, 12, 29, 30, 30, 0},
        // The break's own minute: due now, -59..0 seconds.
        {DaysOf({Mon}), 12, 30, kMonday, 12, 30, 0, 0, 0},
        {DaysOf({Mon}), 12, 30, kMonday, 12, 30, 59, -59, 0},
        // Today only and the minute has passed: the same weekday next week.
        {DaysOf({Mon}), 12, 30, kMonday, 12, 31, 0, 7 * 86400 - 60, 7},
        {DaysOf({Mon}), 0, 0, kMonday, 23, 59, 59, 7 * 86400 - 86399, 7},
        // Every day, already past today: tomorrow.
        {DaysOf({Sun, Mon, Tue, Wed, Thu, Fri, Sat}), 8, 0, kMonday, 12, 0, 0, 20 * 3600, 1},
        // Friday only, seen on Monday.
        {DaysOf({Fri}), 9, 0, kMonday, 9, 0, 0, 4 * 86400, 4},
        // Across the end of the week: Sunday seen on Saturday night.
        {DaysOf({Sun}), 0, 0, kMonday + 5, 23, 59, 30, 30, 1},
        // Sunday seen on Sunday, already past.
        {DaysOf({Sun}), 6, 0, kMonday + 6, 7, 0, 0, 7 * 86400 - 3600, 7},
    };
    for (const Case& c : cases) {
        list.Clear();
        list.Insert(Record(L"B", c.hour, c.minute, c.days));
        const NextPlannedBreak found = FindAt(c.nowDay, c.nowHour, c.nowMinute, c.nowSecond);
        SCOPED_TRACE(testing::Message() << "record " << c.hour << ":" << c.minute << ", now day " << c.nowDay << " "
                                        << c.nowHour << ":" << c.nowMinute << ":" << c.nowSecond);
        EXPECT_EQ(found.record, &list[0]);
        EXPECT_EQ(found.secondsUntil, c.secondsUntil);
        EXPECT_EQ(found.daysAhead, c.daysAhead);
    }
}

TEST_F(PlannedBreakSearch, EqualTimesPickTheEarlierListPosition) {
    list.Insert(Record(L"first", 12, 30, DaysOf({Mon})));
    list.Insert(Record(L"second", 12, 30, DaysOf({Mon})));
    list.Insert(Record(L"third", 12, 30, DaysOf({Mon})));
    NextPlannedBreak found = FindAt(kMonday, 10, 0, 0);
    EXPECT_EQ(found.record, &list[0]);

    // A later record whose next occurrence comes first still wins.
    list.Clear();
    list.Insert(Record(L"morning, Fridays", 9, 0, DaysOf({Fri})));
    list.Insert(Record(L"evening, Tuesdays", 18, 0, DaysOf({Tue})));
    found = FindAt(kMonday, 10, 0, 0);
    ASSERT_NE(found.record, nullptr);
    EXPECT_EQ(found.record->m_strTitle, L"evening, Tuesdays");
    EXPECT_EQ(found.daysAhead, 1);
    EXPECT_EQ(found.secondsUntil, 32 * 3600);

    // Today's break in its own minute comes before a later one the same day.
    list.Insert(Record(L"now", 10, 0, DaysOf({Mon})));
    found = FindAt(kMonday, 10, 0, 45);
    EXPECT_EQ(found.record->m_strTitle, L"now");
    EXPECT_EQ(found.secondsUntil, -45);
}

TEST_F(PlannedBreakSearch, NoneWhenThereIsNothingToFind) {
    NextPlannedBreak found = FindAt(kMonday, 10, 0, 0);  // empty list
    EXPECT_EQ(found.record, nullptr);
    EXPECT_EQ(found.secondsUntil, -999);
    EXPECT_EQ(found.daysAhead, -1);

    list.Insert(Record(L"no day", 11, 0, DaysOf({})));
    found = FindAt(kMonday, 10, 0, 0);
    EXPECT_EQ(found.record, nullptr);

    list.Insert(Record(L"Mondays", 11, 0, DaysOf({Mon})));
    calendar.SetLocalTimeFails(true);
    found = FindNextPlannedBreak(list, calendar.Now(), calendar);
    EXPECT_EQ(found.record, nullptr);
    EXPECT_EQ(found.secondsUntil, -999);
    EXPECT_EQ(found.daysAhead, -1);

    EXPECT_FALSE(NextOccurrence(list[1], 0, 7, 0));
    EXPECT_FALSE(NextOccurrence(list[1], 0, -1, 0));
}

TEST(PlannedBreakTexts, DaysTextInMondayFirstOrder) {
    FakeLocale locale;
    CPlannedBreakTexts texts(locale);
    struct Case {
        BreakDays days;
        const wchar_t* text;
    };
    const Case cases[] = {
        {DaysOf({Sun, Mon, Tue, Wed, Thu, Fri, Sat}), L"Every day"},
        {DaysOf({Mon, Tue, Wed, Thu, Fri}), L"Mon,Tue,Wed,Thu,Fri"},
        {DaysOf({Sun, Sat}), L"Sat,Sun"},
        {DaysOf({Sun, Mon, Tue, Wed, Thu, Fri}), L"Mon,Tue,Wed,Thu,Fri,Sun"},
        {DaysOf({Wed}), L"Wed"},
        {DaysOf({}), L""},
    };
    for (const Case& c : cases) EXPECT_EQ(texts.DaysText(Record(L"B", 9, 0, c.days)), c.text);
}

TEST(PlannedBreakTexts, NamesAndSeparatorAreReadOnce) {
    FakeLocale locale;
    locale.listSeparator = L"; ";
    locale.abbreviatedDayNames = {L"So", L"Mo", L"Di", L"Mi", L"Do", L"Fr", L"Sa"};
    CPlannedBreakTexts texts(locale);
    EXPECT_EQ(texts.DaysText(Record(L"B", 9, 0, DaysOf({Sun, Mon, Sat}))), L"Mo; Sa; So");
    locale.listSeparator = L"|";  // a change during the run is not seen
    locale.abbreviatedDayNames[1] = L"Montag";
    EXPECT_EQ(texts.DaysText(Record(L"B", 9, 0, DaysOf({Mon, Tue}))), L"Mo; Di");
    EXPECT_EQ(locale.nameReads, 7);
    EXPECT_EQ(locale.separatorReads, 1);
}

TEST(PlannedBreakTexts, TimeTextThroughTheLocale) {
    FakeLocale locale;
    CPlannedBreakTexts texts(locale);
    EXPECT_EQ(texts.TimeText(Record(L"B", 12, 30, DaysOf({Mon}))), L"12:30");
    locale.twelveHour = true;
    EXPECT_EQ(texts.TimeText(Record(L"B", 13, 5, DaysOf({Mon}))), L"1:05 PM");
    EXPECT_EQ(locale.lastHour, 13);
    EXPECT_EQ(locale.lastMinute, 5);
    // A time whose local hour could not be had still gives a real clock time.
    EXPECT_EQ(texts.TimeText(Record(L"B", -1, -1, DaysOf({Mon}))), L"10:59 PM");
}

}  // namespace
