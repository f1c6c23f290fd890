// The Win32 message poster under Wine: posting to a real window, from the caller and from the
// scheduled events worker's thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "core/PrivateMessages.h"
#include "platform/win32/ClockWin32.h"
#include "platform/win32/MessagePosterWin32.h"
#include "updates/ThreadScheduledEvents.h"
#include "../shared/RegistryTestEnv.h"

namespace {

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
    EXPECT_TRUE(poster.Post(rw::WMU_TRAY_ICON, 2, 7));
    MSG msg{};
    ASSERT_TRUE(NextMessage(rw::WMU_TRAY_ICON, rw::WMU_TRAY_ICON, msg));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_EQ(msg.lParam, 7);

    HWND gone = window_;
    DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_FALSE(rw::WindowMessagePoster(gone).Post(rw::WMU_TRAY_ICON, 2, 0));
    EXPECT_FALSE(rw::WindowMessagePoster(nullptr).Post(rw::WMU_TRAY_ICON, 2, 0));
}

TEST_F(MessagePosterWin32, ThreadScheduledEventsPostFromTheWorker) {
    rw::CalendarWin32 calendar;
    rw::CThreadScheduledEvents events(calendar);
    const std::int64_t now = calendar.Now();
    events.Schedule(rw::EVENT_PLANNED_BREAK, now - 1, 0);
    events.Schedule(rw::EVENT_TRAY_ICON_RETRY, now - 1, 0);
    ASSERT_TRUE(events.Start(std::make_shared<rw::WindowMessagePoster>(window_), rw::test::kTestIdentity));
    MSG first{}, second{};
    ASSERT_TRUE(NextMessage(rw::WMU_TRAY_ICON, rw::WMU_PLANNED_BREAK_DUE, first));
    ASSERT_TRUE(NextMessage(rw::WMU_TRAY_ICON, rw::WMU_PLANNED_BREAK_DUE, second));
    EXPECT_EQ(first.message, rw::WMU_TRAY_ICON);
    EXPECT_EQ(first.wParam, 2u);
    EXPECT_EQ(second.message, rw::WMU_PLANNED_BREAK_DUE);
    EXPECT_EQ(second.wParam, 0u);
    events.Stop(false);
    EXPECT_FALSE(events.IsRunning());
    const auto check = events.Find(rw::EVENT_UPGRADE_CHECK);
    ASSERT_TRUE(check);
    EXPECT_GE(check->due, now + 60);
}

}  // namespace
