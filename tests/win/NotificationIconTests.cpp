// The notification-area icon through its shell seam: the method the style and OS version
// choose, failed adds and their retries, balloons and their cuts, the pop-up path and its
// sounds, the welcome error box, the tray callback and the presentation hold.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <memory>

#include "../shared/RegistryTestEnv.h"
#include "NotifyTestSupport.h"
#include "core/PrivateMessages.h"
#include "core/ScheduledEventIds.h"
#include "ui/notify/NotificationAlertBase.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"

using namespace rw;
using namespace rw::test;

namespace {

// A pop-up that records what it was given; its window comes from IDD_NOTIFICATION_ALERT.
class RecordingPopup : public CdlgNotificationAlertBase {
public:
    RecordingPopup() : CdlgNotificationAlertBase(IDD_NOTIFICATION_ALERT) {}
    ~RecordingPopup() override { Destroy(); }
    void SetMessageTexts(const std::wstring& message, const std::wstring& message2) override {
        texts = message + L"|" + message2;
    }
    void SetMessageIcon(HICON icon, int) override { icon_ = icon; }
    void OnEcoModeChanged() override { ++ecoChanges; }
    std::wstring texts;
    HICON icon_ = nullptr;
    int ecoChanges = 0;
};

OSVERSIONINFOW Os(DWORD major, DWORD minor) {
    OSVERSIONINFOW os{};
    os.dwOSVersionInfoSize = sizeof os;
    os.dwMajorVersion = major;
    os.dwMinorVersion = minor;
    return os;
}

class NotificationIconTest : public testing::Test {
protected:
    void SetUp() override { ResetTestRegistry(); }
    void TearDown() override { ResetTestRegistry(); }

    void SaveStyle(std::uint32_t style) { WriteSettingDword(app.identity, Setting::NotificationStyle, style); }
    void InitAndAdd(std::uint32_t style, const OSVERSIONINFOW& os) {
        icon.Init(style, os, window.hwnd(), kNotificationIconGuid, &popup);
        icon.Add(owner.IconById(IDI_PROGRAM), L"Restwell");
    }

    TestAppShared app;
    TestOwnerWindow window;
    RecordingIconOwner owner{window.hwnd()};
    RecordingShell shell;
    RecordingPopup popup;
    CNotificationIcon icon{app.Services(), owner, owner, &popup, shell};
};

TEST_F(NotificationIconTest, MethodChoiceReachesTheShell) {
    // The XP-level record ends with the GUID (the header's version-3 size); the version-4
    // shell gets the whole structure.
    const DWORD upToGuid = NOTIFYICONDATAW_V3_SIZE;
    const DWORD whole = sizeof(NOTIFYICONDATAW);
    struct Case {
        std::uint32_t style;
        DWORD major, minor;
        DWORD size, version;
        bool guid;
    } cases[] = {
        {0, 5, 1, upToGuid, 3, false}, {2, 5, 1, upToGuid, 3, false}, {0, 6, 0, whole, 4, false},
        {2, 6, 1, whole, 4, true},     {2, 10, 0, whole, 4, true},    {3, 10, 0, upToGuid, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " on " << c.major << "." << c.minor);
        shell.calls.clear();
        InitAndAdd(c.style, Os(c.major, c.minor));
        const auto adds = shell.CallsOf(NIM_ADD);
        ASSERT_EQ(adds.size(), 1u);
        const NOTIFYICONDATAW& add = adds[0].data;
        EXPECT_EQ(add.cbSize, c.size);
        EXPECT_EQ(add.uID, WMU_TRAY_CALLBACK);
        EXPECT_EQ(add.uCallbackMessage, WMU_TRAY_CALLBACK);
        EXPECT_EQ(add.hWnd, window.hwnd());
        EXPECT_EQ((add.uFlags & NIF_GUID) != 0, c.guid);
        EXPECT_EQ((add.uFlags & NIF_SHOWTIP) != 0, c.version == 4);
        if (c.guid) {
            EXPECT_TRUE(IsEqualGUID(add.guidItem, kNotificationIconGuid));
        }
        EXPECT_STREQ(add.szTip, L"Restwell");
        const auto versions = shell.CallsOf(NIM_SETVERSION);
        ASSERT_EQ(versions.size(), 1u);
        EXPECT_EQ(versions[0].data.uVersion, c.version);
    }
}

TEST_F(NotificationIconTest, ThreeFailedAddsLeaveNoIconAndTwoRetriesSixtySecondsApart) {
    SaveStyle(0);
    shell.failAdd = true;
    const std::int64_t t0 = app.calendar.Now();
    icon.OnTrayIconRequest(TrayIconRequest::Recreate);
    EXPECT_EQ(icon.m_hWndOwner, nullptr);
    EXPECT_EQ(icon.m_uID, 0u);
    app.calendar.Advance(60);
    icon.OnTrayIconRequest(TrayIconRequest::RetryAdd);  // the worker's first retry
    app.calendar.Advance(60);
    icon.OnTrayIconRequest(TrayIconRequest::RetryAdd);  // the second
    EXPECT_EQ(shell.CallsOf(NIM_ADD).size(), 3u);
    EXPECT_EQ(icon.FailureCount(), 3);
    using S = RecordingIconOwner::Scheduled;
    EXPECT_EQ(owner.scheduled,
              (std::vector<S>{{EVENT_TRAY_ICON_RETRY, t0 + 60, 0}, {EVENT_TRAY_ICON_RETRY, t0 + 120, 0}}));
    EXPECT_EQ(icon.m_hWndOwner, nullptr);

    // A later Recreate request starts the count again and removes a pending retry.
    owner.removeFinds = true;
    icon.OnTrayIconRequest(TrayIconRequest::Recreate);
    EXPECT_EQ(icon.FailureCount(), 1);
    EXPECT_EQ(owner.scheduled.size(), 3u);
    EXPECT_EQ(owner.removed.back(), EVENT_TRAY_ICON_RETRY);
    EXPECT_EQ(owner.iconsAdded, 0);

    // And a success leaves the icon in place.
    shell.failAdd = false;
    icon.OnTrayIconRequest(TrayIconRequest::RetryAdd);
    EXPECT_EQ(icon.m_hWndOwner, window.hwnd());
    EXPECT_EQ(icon.m_uID, WMU_TRAY_CALLBACK);
    EXPECT_EQ(owner.iconsAdded, 1);  // the owner puts its state on the new icon
    EXPECT_EQ(owner.scheduled.size(), 3u);
}

TEST_F(NotificationIconTest, ReCreationUsesTheSavedSettings) {
    SaveStyle(1);
    WriteSettingDword(app.identity, Setting::EcoMode, 1);
    WriteSettingString(app.identity, Setting::NotificationSound, L"C:\\chime.wav");
    icon.OnTrayIconRequest(TrayIconRequest::Recreate);
    EXPECT_EQ(icon.m_nStyle, 1u);
    EXPECT_TRUE(icon.m_bEcoMode);
    EXPECT_TRUE(popup.m_bNoFade);
    EXPECT_EQ(icon.m_strSound, L"C:\\chime.wav");
    EXPECT_EQ(icon.m_hIconBase, owner.IconById(IDI_PROGRAM));
    EXPECT_EQ(icon.m_strTitle, L"Restwell");
    // Deleted before it is added again.
    icon.OnTrayIconRequest(TrayIconRequest::Recreate);
    ASSERT_GE(shell.calls.size(), 3u);
    EXPECT_EQ(shell.CallsOf(NIM_DELETE).size(), 1u);
}

TEST_F(NotificationIconTest, PreviewRequestsUseTheirOwnStyleEcoAndSound) {
    SaveStyle(2);
    const std::wstring sound = L"C:\\bell.wav";
    icon.PreviewEcoMode(true);
    icon.PreviewSound(sound);
    EXPECT_TRUE(shell.calls.empty());  // eco mode and sound are only kept
    EXPECT_TRUE(shell.sounds.empty());
    icon.PlaySoundFile(sound);  // the page's Play button: the file as a notification plays it
    EXPECT_EQ(shell.sounds, std::vector<std::wstring>{L"play C:\\bell.wav " + std::to_wstring(SND_ASYNC)});
    icon.PreviewStyle(9);  // outside 0..3: the system's method
    EXPECT_EQ(icon.m_nStyle, 0u);
    EXPECT_TRUE(icon.m_bEcoMode);
    EXPECT_EQ(icon.m_strSound, L"C:\\bell.wav");
    // The welcome notification follows as a balloon.
    const auto modifies = shell.CallsOf(NIM_MODIFY);
    ASSERT_EQ(modifies.size(), 1u);
    EXPECT_STREQ(modifies[0].data.szInfo, L"Welcome.\nHints about when breaks are due will appear here.");
    icon.PreviewSound(L"");
    icon.PreviewStyle(3);
    EXPECT_TRUE(icon.m_strSound.empty());
    EXPECT_TRUE(icon.m_bCustomPopup);
}

TEST_F(NotificationIconTest, PostedRequestsOnlyRetryTheAddAndNeverReadTheirLParam) {
    SaveStyle(0);
    for (WPARAM request : {WPARAM{0}, WPARAM{1}, WPARAM{3}, WPARAM{4}, WPARAM{5}, WPARAM{6}, ~WPARAM{0}}) {
        icon.OnTrayIconMessage(request);
    }
    EXPECT_TRUE(shell.calls.empty()) << "only the worker's retry re-creates the icon";
    icon.OnTrayIconMessage(TRAY_ICON_RETRY_ADD);
    EXPECT_EQ(shell.CallsOf(NIM_ADD).size(), 1u);
}

TEST_F(NotificationIconTest, CustomStyleShowsThePopupWhileTheIconIsMissing) {
    SaveStyle(2);
    shell.failAdd = true;
    icon.OnTrayIconRequest(TrayIconRequest::Recreate);
    ASSERT_EQ(icon.m_hWndOwner, nullptr);
    const std::wstring extra = L"5 minutes until Lunch.";
    EXPECT_TRUE(icon.ShowNotification(&extra, L"Time for a break.", nullptr, 0));
    EXPECT_TRUE(IsWindowVisible(popup.hwnd()));
    EXPECT_EQ(popup.texts, L"Time for a break.|5 minutes until Lunch.");
    EXPECT_EQ(popup.icon_, owner.IconById(IDI_PROGRAM));
    EXPECT_EQ(popup.m_strTitle, L"Restwell");
    EXPECT_TRUE(shell.CallsOf(NIM_MODIFY).empty());
    // Hiding ends the pop-up; with no balloon shown the shell is not asked.
    icon.HideNotification();
    EXPECT_FALSE(IsWindowVisible(popup.hwnd()));
    EXPECT_TRUE(shell.CallsOf(NIM_MODIFY).empty());
    // A balloon shown is cleared once, by an empty balloon text.
    icon.Init(0, Os(10, 0), window.hwnd(), kNotificationIconGuid, &popup);
    EXPECT_TRUE(icon.ShowNotification(nullptr, L"Time.", nullptr, 0));
    icon.HideNotification();
    icon.HideNotification();
    const auto calls = shell.CallsOf(NIM_MODIFY);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].data.uFlags & NIF_INFO, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(calls[1].data.szInfo, L"");
}

TEST_F(NotificationIconTest, BalloonStyleWelcomeAfterAFailedAddShowsTheErrorBox) {
    SaveStyle(0);
    shell.failAdd = true;
    shell.failModify = true;
    owner.reminders = false;
    icon.OnTrayIconRequest(TrayIconRequest::RecreateWithWelcome);
    EXPECT_EQ(owner.alertBreakDue, std::optional<bool>(false));
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0], L"There was a problem displaying the Notification Icon Balloon message\n(error = 1234)");
    EXPECT_EQ(shell.boxTypes[0], static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    const auto modifies = shell.CallsOf(NIM_MODIFY);
    ASSERT_EQ(modifies.size(), 1u);
    EXPECT_EQ(std::wstring(modifies[0].data.szInfo).rfind(L"Welcome.  You can access", 0), 0u);
}

TEST_F(NotificationIconTest, BalloonFields) {
    InitAndAdd(0, Os(6, 1));
    const std::wstring title(70, L'T');
    icon.m_strTitle = title;
    const std::wstring extra = L"Lunch is due now.";
    shell.calls.clear();
    EXPECT_TRUE(icon.ShowNotification(&extra, std::wstring(300, L'x'), nullptr, 20000));
    NOTIFYICONDATAW v4 = shell.CallsOf(NIM_MODIFY).at(0).data;
    EXPECT_EQ(v4.uFlags & (NIF_INFO | NIF_SHOWTIP | NIF_ICON), static_cast<UINT>(NIF_INFO | NIF_SHOWTIP));
    EXPECT_EQ(v4.uTimeout, 0u);  // the version-4 shell times balloons itself
    EXPECT_EQ(v4.dwInfoFlags, static_cast<DWORD>(NIIF_USER));
    EXPECT_EQ(v4.hIcon, owner.IconById(IDI_PROGRAM));
    EXPECT_EQ(std::wstring(v4.szInfoTitle), std::wstring(63, L'T'));
    EXPECT_EQ(std::wstring(v4.szInfo), std::wstring(255, L'x'));

    InitAndAdd(1, Os(6, 1));
    shell.calls.clear();
    HICON due = owner.IconById(IDI_BREAK_DUE);
    icon.ShowNotification(nullptr, L"Time.", due, 20000);
    NOTIFYICONDATAW v3 = shell.CallsOf(NIM_MODIFY).at(0).data;
    EXPECT_EQ(v3.uTimeout, 20000u);
    EXPECT_EQ(v3.hIcon, due);
    EXPECT_EQ(v3.uFlags & NIF_SHOWTIP, 0u);
    EXPECT_STREQ(v3.szInfo, L"Time.");

    // A tooltip keeps its first 127 characters; the icon becomes the current one.
    const std::wstring tip(200, L'p');
    icon.SetIconAndTip(&tip, due);
    NOTIFYICONDATAW modify = shell.calls.back().data;
    EXPECT_EQ(std::wstring(modify.szTip), std::wstring(127, L'p'));
    EXPECT_EQ(modify.uFlags & (NIF_TIP | NIF_ICON), static_cast<UINT>(NIF_TIP | NIF_ICON));
    EXPECT_EQ(icon.m_hIconCurrent, due);
    // The same picture and tooltip again (every quiet tick) do not bother the shell.
    const size_t calls = shell.calls.size();
    icon.SetIconAndTip(&tip, due);
    icon.SetIconAndTip(nullptr, due);
    EXPECT_EQ(shell.calls.size(), calls);
    const std::wstring other = L"Restwell\nResting...";
    icon.SetIconAndTip(&other, nullptr);
    EXPECT_EQ(shell.calls.size(), calls + 1);
    // A new tooltip on the same picture (the minutes of work) carries no picture: the shell
    // would copy its bitmaps again.
    const std::wstring minute = L"Restwell\nYou have been working for 56 minutes.";
    icon.SetIconAndTip(&minute, due);
    EXPECT_EQ(shell.calls.size(), calls + 2);
    EXPECT_EQ(shell.calls.back().data.uFlags & (NIF_TIP | NIF_ICON), static_cast<UINT>(NIF_TIP));
}

TEST_F(NotificationIconTest, SoundsOfCustomNotifications) {
    struct Case {
        std::uint32_t style;
        DWORD major;
        const wchar_t* file;
        std::wstring expected;
    } cases[] = {
        {2, 6, nullptr, L"beep " + std::to_wstring(MB_ICONASTERISK)},
        {2, 5, nullptr, L"play SystemNotification " + std::to_wstring(SND_ALIAS | SND_ASYNC)},
        {3, 10, nullptr, L"play SystemNotification " + std::to_wstring(SND_ALIAS | SND_ASYNC)},
        {2, 10, L"C:\\chime.wav", L"play C:\\chime.wav " + std::to_wstring(SND_ASYNC)},
        {3, 5, L"C:\\chime.wav", L"play C:\\chime.wav " + std::to_wstring(SND_ASYNC)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " on " << c.major);
        shell.sounds.clear();
        icon.Init(c.style, Os(c.major, 1), window.hwnd(), kNotificationIconGuid, nullptr);
        icon.SetSoundFile(c.file);
        EXPECT_TRUE(icon.ShowNotification(nullptr, L"Time.", nullptr, 0));
        EXPECT_EQ(shell.sounds, std::vector<std::wstring>{c.expected});
    }
    // A balloon style plays nothing of its own.
    shell.sounds.clear();
    icon.Init(0, Os(10, 0), window.hwnd(), kNotificationIconGuid, nullptr);
    icon.ShowNotification(nullptr, L"Time.", nullptr, 0);
    EXPECT_TRUE(shell.sounds.empty());
}

TEST_F(NotificationIconTest, TrayMenusByTheCurrentIcon) {
    rw::MenuOwner breakMenu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY_BREAK)));
    owner.breakMenu = breakMenu.get();
    InitAndAdd(2, Os(10, 0));
    struct Case {
        int iconId;
        WORD event;
        UINT firstItem;
    } cases[] = {
        {IDI_WORKING, WM_CONTEXTMENU, ID_OPEN_MAIN},
        {IDI_BREAK_DUE, WM_CONTEXTMENU, ID_SUSPEND_15},
        {IDI_DUE_SUSPENDED, NIN_BALLOONUSERCLICK, ID_SUSPEND_15},
        {IDI_RESTED, NIN_BALLOONUSERCLICK, ID_OPEN_MAIN},
    };
    // A modal window of the owner disables it: the menus then offer no second modal window.
    for (const bool modalOpen : {false, true, false}) {
        EnableWindow(window.hwnd(), !modalOpen);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.iconId << (modalOpen ? " with a modal window open" : ""));
            icon.SetIconAndTip(nullptr, owner.IconById(c.iconId));
            owner.ticks.clear();
            window.nulls = 0;
            shell.trackedFirstItem = 0;
            icon.OnTrayCallback(0, MAKELPARAM(c.event, WMU_TRAY_CALLBACK));
            EXPECT_EQ(owner.ticks, std::vector<bool>{true});  // a quiet tick first
            EXPECT_EQ(shell.trackedFirstItem, c.firstItem);
            EXPECT_EQ(shell.trackedDefault, static_cast<UINT>(ID_OPEN_MAIN));
            EXPECT_EQ(shell.trackedWindow, window.hwnd());
            EXPECT_TRUE(shell.trackedFlags & TPM_RIGHTBUTTON);
            EXPECT_EQ(shell.trackedAboutGrayed, modalOpen);
            window.Pump(0);
            EXPECT_EQ(window.nulls, 1);  // WM_NULL after the menu
        }
    }
}

TEST_F(NotificationIconTest, MouseMovesTickOncePerSecondAndSelectShowsTheMainWindow) {
    InitAndAdd(2, Os(10, 0));
    for (int i = 0; i < 3; ++i) icon.OnTrayCallback(0, WM_MOUSEMOVE);
    EXPECT_EQ(owner.ticks, std::vector<bool>{false});
    app.calendar.Advance(1);
    icon.OnTrayCallback(0, WM_MOUSEMOVE);
    EXPECT_EQ(owner.ticks.size(), 2u);
    icon.OnTrayCallback(0, NIN_SELECT);
    icon.OnTrayCallback(0, MAKELPARAM(NIN_KEYSELECT, WMU_TRAY_CALLBACK));
    icon.OnTrayCallback(0, WM_LBUTTONDOWN);
    EXPECT_EQ(owner.mainShown, 2);
    EXPECT_EQ(owner.ticks.size(), 2u);
}

TEST_F(NotificationIconTest, NotificationsWaitWhileTheUserPresents) {
    InitAndAdd(0, Os(10, 0));
    shell.calls.clear();
    shell.userState = 4;  // QUNS_PRESENTATION_MODE
    EXPECT_TRUE(icon.ShowNotification(nullptr, L"Time.", nullptr, 20000));
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(icon.HasHeldNotification());
    icon.OnEngineTickDone();
    EXPECT_TRUE(shell.calls.empty());  // still presenting
    shell.userState = 5;
    icon.OnEngineTickDone();
    const auto shown = shell.CallsOf(NIM_MODIFY);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_STREQ(shown[0].data.szInfo, L"Time.");
    icon.OnEngineTickDone();
    EXPECT_EQ(shell.CallsOf(NIM_MODIFY).size(), 1u);  // shown once

    // A hide while held drops it; so does nothing for a pop-up style's sound.
    icon.Init(2, Os(10, 0), window.hwnd(), kNotificationIconGuid, &popup);
    shell.userState = 3;  // QUNS_RUNNING_D3D_FULL_SCREEN
    shell.sounds.clear();
    icon.ShowNotification(nullptr, L"Time.", nullptr, 0);
    EXPECT_TRUE(shell.sounds.empty());
    EXPECT_FALSE(popup.hwnd() && IsWindowVisible(popup.hwnd()));
    icon.HideNotification();
    shell.userState = 5;
    icon.OnEngineTickDone();
    EXPECT_TRUE(shell.sounds.empty());
    EXPECT_FALSE(popup.hwnd() && IsWindowVisible(popup.hwnd()));
}

TEST_F(NotificationIconTest, DeleteWithoutAnIconSucceedsAndEcoModeReachesThePopup) {
    EXPECT_TRUE(icon.Delete());
    EXPECT_TRUE(shell.calls.empty());
    icon.Init(2, Os(10, 0), window.hwnd(), kNotificationIconGuid, &popup);
    icon.SetEcoMode(true);
    EXPECT_TRUE(popup.m_bNoFade);
    EXPECT_EQ(popup.ecoChanges, 1);
    icon.SetEcoMode(false);
    EXPECT_FALSE(popup.m_bNoFade);
}

}  // namespace
