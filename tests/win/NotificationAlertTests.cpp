// The alert pop-up as a real window under Wine: it appears without taking the focus, fades
// 50, 65 … 255 (read back from the layered attributes), keeps its opacity when shown again,
// stays while hovered, posts each button's command, and takes its colours from the accent.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "InputScript.h"
#include "NotifyTestSupport.h"
#include "WindowState.h"
#include "framework/Dpi.h"
#include "ui/notify/NotificationAlert.h"
#include "res/resource.h"

using namespace rw;
using namespace rw::test;

namespace {

class FixedAccent : public AccentSources {
public:
    bool VistaOrLater() override { return vista; }
    bool RegistryColorization(std::uint32_t& argb) override {
        if (!registry) return false;
        argb = *registry;
        return true;
    }
    bool DwmColorization(std::uint32_t& argb) override {
        if (!dwm) return false;
        argb = *dwm;
        return true;
    }
    COLORREF SysColor(int index) override { return index == COLOR_ACTIVECAPTION ? RGB(1, 2, 3) : RGB(4, 5, 6); }
    bool vista = true;
    std::optional<std::uint32_t> registry;
    std::optional<std::uint32_t> dwm;
};

class FakeMain : public AlertMainWindow {
public:
    bool RemindersEnabled() const override { return reminders != 0; }
    float Rating() const override { return 62.0f; }
    bool RatingRising() const override { return true; }
    int reminders = 1;
};

BYTE AlphaOf(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
    return alpha;
}

// Pumps messages until done() or the time is up; after is called after every message.
bool PumpUntil(const std::function<bool()>& done, DWORD ms, const std::function<void()>& after = {}) {
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (after) after();
            if (done()) return true;
        }
        const LONG left = static_cast<LONG>(end - GetTickCount());
        if (left <= 0) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
    return true;
}

class NotificationAlertTest : public testing::Test {
protected:
    void SetUp() override {
        accent.registry = 0xFF2060A0;
        alert.SetAccentSources(accent);
        alert.SetCommandTarget(window.hwnd());
        alert.m_pMain = &main;
        alert.m_strTitle = L"Restwell";
        alert.m_strMessage = L"You have been using this computer for 55 minutes.\nTime for a 5 minute break.";
        alert.m_strMessage2 = L"15 minutes until Lunch.";
        alert.m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_BREAK_DUE));
        alert.m_nDisplayMs = 0;
        alert.m_bBreakDue = true;
        alert.m_nPlannedMinutes = 15;
        SetCursorPos(5, 5);
    }
    bool Visible() const { return alert.hwnd() && IsWindowVisible(alert.hwnd()); }
    std::vector<UINT> Commands() {
        window.Pump(30);
        return window.commands;
    }

    TestAppShared app;
    TestOwnerWindow window;
    FixedAccent accent;
    FakeMain main;
    CdlgNotificationAlert alert{app.Services()};
};

TEST_F(NotificationAlertTest, AppearsWithoutTakingTheFocusAndFadesInFourteenSteps) {
    HWND foreground = CreateWindowExW(0, L"EDIT", L"typing here", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 120,
                                      nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(foreground);
    SetFocus(foreground);
    window.Pump(50);
    ASSERT_EQ(GetForegroundWindow(), foreground);

    alert.ShowAlert();
    ASSERT_TRUE(Visible());
    EXPECT_EQ(GetForegroundWindow(), foreground);
    EXPECT_EQ(GetFocus(), foreground);
    // Wine here keeps WS_EX_TOPMOST out of the reported style even after SetWindowPos(HWND_TOPMOST)
    // succeeds, so only the layered style is checked.
    EXPECT_TRUE(GetWindowLongW(alert.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    std::vector<int> alphas = {AlphaOf(alert.hwnd())};
    PumpUntil([&] { return alphas.back() == 255; }, 3000,
              [&] {
                  if (AlphaOf(alert.hwnd()) != alphas.back()) alphas.push_back(AlphaOf(alert.hwnd()));
              });
    std::vector<int> expected;
    for (int a = 50; a < 255; a += 15) expected.push_back(a);
    expected.push_back(255);
    EXPECT_EQ(alphas, expected);
    EXPECT_EQ(GetForegroundWindow(), foreground);

    // In the work area's bottom-right corner.
    RECT work{}, placed{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(alert.hwnd(), &placed);
    EXPECT_EQ(placed.right, work.right);
    EXPECT_EQ(placed.bottom, work.bottom);
    DestroyWindow(foreground);
}

TEST_F(NotificationAlertTest, ShowingAgainWhileFadingKeepsTheOpacity) {
    alert.ShowAlert();
    PumpUntil([&] { return AlphaOf(alert.hwnd()) >= 95; }, 2000);
    const BYTE reached = AlphaOf(alert.hwnd());
    alert.m_strMessage = L"Again.";
    alert.ShowAlert();
    EXPECT_EQ(AlphaOf(alert.hwnd()), reached);
    EXPECT_EQ(alert.m_byAlpha, reached);
    EXPECT_EQ(alert.ItemText(IDC_ALERT_MESSAGE), L"Again.");
    // Hidden and shown again, it starts over.
    alert.End(0);
    alert.ShowAlert();
    EXPECT_EQ(AlphaOf(alert.hwnd()), 50);
}

TEST_F(NotificationAlertTest, EcoModeShowsItOpaqueAtOnce) {
    alert.m_bNoFade = true;
    alert.ShowAlert();
    EXPECT_EQ(AlphaOf(alert.hwnd()), 255);
    window.Pump(120);
    EXPECT_EQ(AlphaOf(alert.hwnd()), 255);
}

TEST_F(NotificationAlertTest, DisplayTimeAndHover) {
    // Display time 0: no automatic close.
    alert.ShowAlert();
    window.Pump(200);
    EXPECT_TRUE(Visible());

    // 50 ms with the pointer on it, and a hover check after it: it stays; away, it closes
    // within the next check.
    alert.End(0);
    alert.m_nDisplayMs = 50;
    alert.ShowAlert();
    RECT placed{};
    GetWindowRect(alert.hwnd(), &placed);
    SetCursorPos((placed.left + placed.right) / 2, placed.top + 5);
    window.Pump(700);
    EXPECT_TRUE(Visible());
    SetCursorPos(5, 5);
    // It closes at the first hover check after the pointer left, however late a busy machine
    // delivers it (the time limit is for a hang).
    int checks = 0;
    const DWORD end = GetTickCount() + 10000;
    while (Visible() && static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == alert.hwnd() &&
                msg.wParam == CdlgNotificationAlertBase::kTimerDisplay) {
                ++checks;
            }
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    EXPECT_FALSE(Visible());
    EXPECT_EQ(checks, 1);
    // Closed means hidden: the window is kept for the next show.
    EXPECT_TRUE(IsWindow(alert.hwnd()));
}

// Each way the pop-up goes while it fades in and the pointer rests where it was: no timer
// message reaches the hidden window.
TEST_F(NotificationAlertTest, AHiddenPopUpGetsNoMoreTimerMessages) {
    struct Case {
        const char* how;
        std::function<void()> hide;
    } cases[] = {
        {"close button", [&] { SendMessageW(alert.Item(IDC_ALERT_CLOSE), BM_CLICK, 0, 0); }},
        {"I am rested", [&] { SendMessageW(alert.Item(IDC_ALERT_RESTED), BM_CLICK, 0, 0); }},
        {"taken down", [&] { alert.End(0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        alert.m_nDisplayMs = 30;
        alert.ShowAlert();
        RECT placed{};
        GetWindowRect(alert.hwnd(), &placed);
        SetCursorPos((placed.left + placed.right) / 2, placed.top + 5);
        window.Pump(150);  // fading, and hovered past its display time
        ASSERT_TRUE(Visible());
        ASSERT_LT(AlphaOf(alert.hwnd()), 255);
        c.hide();
        ASSERT_FALSE(Visible());
        // Watched longer than the slowest of its timers (the hover check's half second).
        int timerMessages = 0;
        const DWORD end = GetTickCount() + 700;
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.hwnd == alert.hwnd()) ++timerMessages;
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        EXPECT_EQ(timerMessages, 0);
        SetCursorPos(5, 5);
    }
}

// The pop-up follows the work area: a taskbar that appears or moves (the setting's broadcast),
// a display change and a DPI change each put it back in the new corner.
TEST_F(NotificationAlertTest, StaysInTheCornerOfTheWorkAreaWhenItChanges) {
    RECT original{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &original, 0));
    struct Case {
        const char* trigger;
        int shrink;  // the work area's bottom moves up by this many pixels
        std::function<void()> tell;
    } cases[] = {
        {"work area setting", 40,
         [] {
             // As the shell tells every top-level window when its taskbar appears or moves.
             SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
         }},
        {"display change", 60, [&] { SendMessageW(alert.hwnd(), WM_DISPLAYCHANGE, 32, 0); }},
        {"DPI change", 80,
         [&] {
             RECT suggested{0, 0, 300, 200};  // wherever the system suggests, the pop-up keeps its corner
             SendMessageW(alert.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
         }},
    };
    alert.ShowAlert();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger);
        RECT work = original;
        work.bottom -= c.shrink;
        ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0));
        c.tell();
        window.Pump(50);
        RECT placed{};
        GetWindowRect(alert.hwnd(), &placed);
        EXPECT_EQ(placed.bottom, work.bottom);
        EXPECT_EQ(placed.right, work.right);
    }
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &original, 0);
}

// The caption's bold font follows a DPI change: at 1.5 times the DPI it is 1.5 times as high.
TEST_F(NotificationAlertTest, TheCaptionFontFollowsADpiChange) {
    alert.ShowAlert();
    HWND caption = alert.Item(IDC_ALERT_CAPTION);
    ASSERT_NE(caption, nullptr);
    const int before = FontHeightOf(caption);
    const int dpi = WindowDpi(alert.hwnd());
    SendDpiChange(alert.hwnd(), dpi, dpi * 3 / 2);
    EXPECT_TRUE(ScaledBy(before, FontHeightOf(caption), 2, 3));
    EXPECT_EQ(FontHeightOf(alert.Item(IDC_ALERT_COUNTDOWN_TEXT)), FontHeightOf(caption));
    SendDpiChange(alert.hwnd(), dpi * 3 / 2, dpi);
    EXPECT_EQ(FontHeightOf(caption), before);
}

TEST_F(NotificationAlertTest, ButtonsPostTheirCommands) {
    struct Case {
        int planned;
        int control;
        UINT command;
        bool stays;
    } cases[] = {
        {-1, IDC_ALERT_RESTED, ID_I_AM_RESTED, false},
        {15, IDC_ALERT_SUSPEND, ID_SUSPEND_UNTIL_PLANNED, false},  // face by IDS_SUSPEND_UNTIL_PLANNED
        {16, IDC_ALERT_SUSPEND, ID_SUSPEND_15, false},             // face by IDS_SUSPEND_15
        {-1, IDC_ALERT_OPEN, ID_OPEN_MAIN, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        alert.m_nPlannedMinutes = c.planned;
        alert.ShowAlert();
        window.commands.clear();
        SendMessageW(alert.Item(c.control), BM_CLICK, 0, 0);
        EXPECT_EQ(Commands(), std::vector<UINT>{c.command});
        EXPECT_EQ(Visible(), c.stays);
    }
    alert.ShowAlert();
    window.commands.clear();
    SendMessageW(alert.Item(IDC_ALERT_CLOSE), BM_CLICK, 0, 0);
    EXPECT_TRUE(Commands().empty());
    EXPECT_FALSE(Visible());
}

// Drives the suspend menu from inside its own loop: the keys go to the thread once the menu
// is shown.
std::vector<WPARAM> g_keys;
void CALLBACK SendMenuKeys(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = ShownMenu();
    if (!menu) return;
    KillTimer(nullptr, id);
    for (WPARAM key : g_keys) {
        PostMessageW(menu, WM_KEYDOWN, key, 0);
        PostMessageW(menu, WM_KEYUP, key, 0);
    }
}

TEST_F(NotificationAlertTest, SuspendMenuItemsPostTheirCommandsAndADismissedMenuNothing) {
    struct Case {
        std::vector<WPARAM> keys;
        std::vector<UINT> commands;
    } cases[] = {
        {{VK_DOWN, VK_RETURN}, {ID_SUSPEND_15}},
        {{VK_DOWN, VK_DOWN, VK_RETURN}, {ID_SUSPEND_30}},
        {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {ID_SUSPEND_UNTIL_REST}},
        {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {ID_SUSPEND_UNTIL_PLANNED}},
        {{VK_ESCAPE}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.size());
        alert.m_nPlannedMinutes = 30;  // the planned item is enabled
        alert.ShowAlert();
        window.commands.clear();
        g_keys = c.keys;
        SetTimer(nullptr, 0, 20, SendMenuKeys);
        HWND button = alert.Item(IDC_ALERT_SUSPEND);
        RECT client{};
        GetClientRect(button, &client);
        SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 5, client.bottom / 2));
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_EQ(Visible(), c.commands.empty());
    }
}

TEST_F(NotificationAlertTest, ContentFollowsTheNotification) {
    alert.m_bBreakDue = false;
    alert.m_nPlannedMinutes = -1;
    alert.m_strMessage2.clear();
    main.reminders = 0;
    alert.ShowAlert();
    EXPECT_TRUE(rw::test::Hidden(alert.Item(IDC_ALERT_RESTED)));
    EXPECT_TRUE(rw::test::Hidden(alert.Item(IDC_ALERT_SUSPEND)));
    EXPECT_TRUE(rw::test::Hidden(alert.Item(IDC_ALERT_COUNTDOWN_ICON)));
    EXPECT_TRUE(IsWindowVisible(alert.Item(IDC_ALERT_NOT_RATED)));
    EXPECT_EQ(alert.ItemText(IDC_ALERT_NOT_RATED), L"  You are not being rated as this feature is not enabled.");
    EXPECT_EQ(alert.ItemText(IDC_ALERT_CAPTION), L"Quillfen Restwell");
    EXPECT_EQ(alert.ItemText(IDC_ALERT_SUSPEND), L"Suspend 15 minutes");
    EXPECT_TRUE(GetMenuState(alert.m_btnSuspend.DropDown(), ID_SUSPEND_UNTIL_PLANNED, MF_BYCOMMAND) & MF_GRAYED);

    alert.m_bBreakDue = true;
    alert.m_nPlannedMinutes = 12;
    alert.m_strMessage2 = L"12 minutes until Lunch.";
    main.reminders = 1;
    alert.ShowAlert();
    EXPECT_TRUE(IsWindowVisible(alert.Item(IDC_ALERT_RESTED)));
    EXPECT_TRUE(IsWindowEnabled(alert.Item(IDC_ALERT_SUSPEND)));
    EXPECT_TRUE(IsWindowVisible(alert.Item(IDC_ALERT_COUNTDOWN_ICON)));
    EXPECT_TRUE(rw::test::Hidden(alert.Item(IDC_ALERT_NOT_RATED)));
    EXPECT_EQ(alert.ItemText(IDC_ALERT_COUNTDOWN_TEXT), L"12 minutes until Lunch.");
    EXPECT_EQ(alert.ItemText(IDC_ALERT_SUSPEND), L"Suspend until Planned Break");
    EXPECT_FALSE(GetMenuState(alert.m_btnSuspend.DropDown(), ID_SUSPEND_UNTIL_PLANNED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(alert.m_clrBack, RGB(0x20, 0x60, 0xA0));
    EXPECT_EQ(alert.m_clrText, RGB(255, 255, 255));
}

TEST(AccentColors, SourcesAndFallbacks) {
    struct Case {
        bool vista;
        std::optional<std::uint32_t> registry, dwm;
        COLORREF background, text;
    } cases[] = {
        {true, 0x00FFFFFF, std::nullopt, RGB(128, 128, 128), RGB(0, 0, 0)},
        {true, 0xFFFFFFFF, std::nullopt, RGB(255, 255, 255), RGB(0, 0, 0)},
        {true, 0xFF000000, std::nullopt, RGB(0, 0, 0), RGB(255, 255, 255)},
        {true, std::nullopt, 0xFF000000, RGB(0, 0, 0), RGB(255, 255, 255)},  // the DWM when the key is missing
        {true, 0xFFFFFFFF, 0xFF000000, RGB(255, 255, 255), RGB(0, 0, 0)},    // the key first
        {true, std::nullopt, std::nullopt, RGB(1, 2, 3), RGB(4, 5, 6)},      // caption colours
        {false, 0xFFFFFFFF, 0xFFFFFFFF, RGB(1, 2, 3), RGB(4, 5, 6)},         // XP
    };
    for (const Case& c : cases) {
        FixedAccent sources;
        sources.vista = c.vista;
        sources.registry = c.registry;
        sources.dwm = c.dwm;
        COLORREF background = 7, text = 7;
        GetAccentColors(sources, background, text);
        EXPECT_EQ(background, c.background);
        EXPECT_EQ(text, c.text);
    }
    // What Wine has: no DWM key, DwmGetColorizationColor not implemented: the caption colours.
    COLORREF background = 7, text = 7;
    GetAccentColors(background, text);
    EXPECT_EQ(background, GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(text, GetSysColor(COLOR_CAPTIONTEXT));
}

}  // namespace
