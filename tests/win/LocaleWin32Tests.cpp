// The Win32 locale and message-poster adapters under Wine: the default locale's names,
// separator and time text, and the worker posting to a real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "core/PrivateMessages.h"
#include "engine/PlannedBreakTexts.h"
#include "platform/win32/ClockWin32.h"
#include "platform/win32/LocaleWin32.h"
#include "platform/win32/MessagePosterWin32.h"
#include "updates/ThreadScheduledEvents.h"
#include "../shared/RegistryTestEnv.h"

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
