// The Win32 locale and message-poster adapters under Wine: the default locale's names,
// separator and time text, and the worker posting to a real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/PrivateMessages.h"
#include "engine/PlannedBreakTexts.h"
#include "platform/win32/ClockWin32.h"
#include "platform/win32/LocaleWin32.h"
#include "platform/win32/MessagePosterWin32.h"
#include "updates/ThreadScheduledEvents.h"
#include "../shared/RegistryTestEnv.h"

namespace {

// The time of day formatted by a locale's time pattern with its seconds left out, written
// independently of GetTimeFormatW: h/hh/H/HH hours, m/mm minutes, t/tt the AM/PM marker,
// quoted literals; the seconds and the separator before them are dropped.
std::wstring FormatWithoutSeconds(const std::wstring& pattern, int hour, int minute, const std::wstring& am,
                                  const std::wstring& pm) {
    std::wstring out;
    std::wstring pendingLiteral;
    for (size_t i = 0; i < pattern.size();) {
        const wchar_t c = pattern[i];
        size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        if (c == L'\'') {
            const size_t end = pattern.find(L'\'', i + 1);
            pendingLiteral += pattern.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
            i = end == std::wstring::npos ? pattern.size() : end + 1;
            continue;
        }
        if (c == L's') {  // the seconds take the separator before them along
            pendingLiteral.clear();
            i += run;
            continue;
        }
        std::wstring field;
        if (c == L'h' || c == L'H') {
            const int h = c == L'H' ? hour : (hour % 12 == 0 ? 12 : hour % 12);
            field = std::to_wstring(h);
            if (run >= 2 && h < 10) field = L"0" + field;
        } else if (c == L'm') {
            field = std::to_wstring(minute);
            if (run >= 2 && minute < 10) field = L"0" + field;
        } else if (c == L't') {
            const std::wstring& marker = hour < 12 ? am : pm;
            field = run >= 2 ? marker : marker.substr(0, 1);
        } else {
            pendingLiteral.append(run, c);
            i += run;
            continue;
        }
        out += pendingLiteral + field;
        pendingLiteral.clear();
        i += run;
    }
    return out + pendingLiteral;
}

std::wstring LocaleValue(LCTYPE type) {
    wchar_t text[100] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 100);
    return text;
}

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
    EXPECT_EQ(locale.TimeOfDayText(13, 5), L"1:05 PM");
    EXPECT_EQ(locale.TimeOfDayText(0, 0), L"12:00 AM");
    EXPECT_EQ(locale.TimeOfDayText(24, 0), L"");
    EXPECT_EQ(locale.TimeOfDayText(12, 60), L"");
    const std::wstring pattern = locale.TimeFormat();
    const std::wstring am = LocaleValue(LOCALE_S1159), pm = LocaleValue(LOCALE_S2359);
    for (int hour = 0; hour < 24; ++hour) {
        for (int minute : {0, 7, 30, 59}) {
            EXPECT_EQ(locale.TimeOfDayText(hour, minute), FormatWithoutSeconds(pattern, hour, minute, am, pm))
                << hour << ":" << minute;
        }
    }
}

TEST(LocaleWin32, PlannedBreakTextsInTheDefaultLocale) {
    rw::LocaleWin32 locale;
    CPlannedBreakTexts texts(locale);
    const CBreakTimed lunch = CBreakTimed::FromText(L"0NYYYYYN,1230,Lunch");
    EXPECT_EQ(texts.TimeText(lunch), L"12:30 PM");
    EXPECT_EQ(texts.DaysText(lunch), L"Mon,Tue,Wed,Thu,Fri");
    EXPECT_EQ(texts.DaysText(CBreakTimed::FromText(L"0YNNNNNY,0800,Weekend")), L"Sat,Sun");
    EXPECT_EQ(texts.DaysText(CBreakTimed::FromText(L"0YYYYYYY,0800,Daily")), L"Every day");
}

class MessagePosterWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        rw::test::ResetTestRegistry();
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        rw::test::ResetTestRegistry();
    }
    // The next posted message in range, waiting up to ten seconds.
    bool NextMessage(UINT first, UINT last, MSG& msg) {
        const DWORD giveUp = GetTickCount() + 10000;
        while (!PeekMessageW(&msg, window_, first, last, PM_REMOVE)) {
            if (static_cast<LONG>(GetTickCount() - giveUp) >= 0) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
        }
        return true;
    }
    HWND window_ = nullptr;
};

TEST_F(MessagePosterWin32, PosterPostsToItsWindow) {
    rw::WindowMessagePoster poster(window_);
    EXPECT_TRUE(poster.Post(WMU_TRAY_ICON, 2, 7));
    MSG msg{};
    ASSERT_TRUE(NextMessage(WMU_TRAY_ICON, WMU_TRAY_ICON, msg));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_EQ(msg.lParam, 7);

    HWND gone = window_;
    DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_FALSE(rw::WindowMessagePoster(gone).Post(WMU_TRAY_ICON, 2, 0));
    EXPECT_FALSE(rw::WindowMessagePoster(nullptr).Post(WMU_TRAY_ICON, 2, 0));
}

TEST_F(MessagePosterWin32, ThreadScheduledEventsPostFromTheWorker) {
    rw::CalendarWin32 calendar;
    CThreadScheduledEvents events(calendar);
    const std::int64_t now = calendar.Now();
    events.Schedule(EVENT_PLANNED_BREAK, now - 1, 0);
    events.Schedule(EVENT_TRAY_ICON_RETRY, now - 1, 0);
    ASSERT_TRUE(events.Start(std::make_shared<rw::WindowMessagePoster>(window_), rw::test::kTestIdentity));
    MSG first{}, second{};
    ASSERT_TRUE(NextMessage(WMU_TRAY_ICON, WMU_PLANNED_BREAK_DUE, first));
    ASSERT_TRUE(NextMessage(WMU_TRAY_ICON, WMU_PLANNED_BREAK_DUE, second));
    EXPECT_EQ(first.message, WMU_TRAY_ICON);
    EXPECT_EQ(first.wParam, 2u);
    EXPECT_EQ(second.message, WMU_PLANNED_BREAK_DUE);
    EXPECT_EQ(second.wParam, 0u);
    events.Stop(false);
    EXPECT_FALSE(events.IsRunning());
    const auto check = events.Find(EVENT_UPGRADE_CHECK);
    ASSERT_TRUE(check);
    EXPECT_GE(check->due, now + 60);
}

}  // namespace
