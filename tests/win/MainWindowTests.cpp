// The main window with real controls and the real (Wine) registry, its clocks faked: what it
// shows from stored state, its health tabs and links, its commands, a policy change and the
// state it saves.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../shared/RegistryTestEnv.h"
#include "WindowState.h"
#include "core/WebAddress.h"
#include "core/PrivateMessages.h"
#include "core/CalendarTime.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "LoopScript.h"
#include "MainWindowTest.h"
#include "engine/PlannedBreakList.h"
#include "settings/SettingsCatalog.h"
#include "res/resource.h"
#include "settings/AppSettings.h"
#include "ui/main/Main.h"

using namespace rw;
using namespace rw::test;

namespace {

class MainWindow : public MainWindowTest<> {
protected:
    void PutTime(const wchar_t* name, std::int64_t t) {
        const Bytes8 bytes = EncodeTime(t);
        PutRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), name, kRegBinary,
                    std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
    std::int64_t StoredTime(const wchar_t* name) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), name, type, data) || data.size() != 8) {
            return -1;
        }
        return DecodeTime(data.data());
    }
    std::wstring Text(int id) const { return Window::TextOf(GetDlgItem(main->hwnd(), id)); }
    std::wstring TabText(int index) const {
        wchar_t buffer[128] = L"";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 128;
        TabCtrl_GetItem(GetDlgItem(main->hwnd(), IDC_TIPS_TABS), index, &item);
        return buffer;
    }
    void SelectTab(int index) {
        HWND tabs = GetDlgItem(main->hwnd(), IDC_TIPS_TABS);
        TabCtrl_SetCurSel(tabs, index);
        NMHDR header{tabs, IDC_TIPS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main->hwnd(), WM_NOTIFY, IDC_TIPS_TABS, reinterpret_cast<LPARAM>(&header));
    }
    HICON StatusIcon() const {
        return reinterpret_cast<HICON>(SendDlgItemMessageW(main->hwnd(), IDC_STATUS_ICON, STM_GETICON, 0, 0));
    }
    // Runs the thread's messages until done() holds; false when it does not within ms.
    static bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
        const DWORD end = GetTickCount() + ms;
        while (!done()) {
            if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(message.wParam));  // for done() to see
                    break;
                }
                DispatchMessageW(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return true;
    }
    void ClickTipLink() {
        ENLINK link{};
        link.nmhdr = {GetDlgItem(main->hwnd(), IDC_TIP_TEXT), IDC_TIP_TEXT, EN_LINK};
        link.msg = WM_LBUTTONUP;  // only the button going down counts
        SendMessageW(main->hwnd(), WM_NOTIFY, IDC_TIP_TEXT, reinterpret_cast<LPARAM>(&link));
        link.msg = WM_LBUTTONDOWN;
        SendMessageW(main->hwnd(), WM_NOTIFY, IDC_TIP_TEXT, reinterpret_cast<LPARAM>(&link));
    }
};

// A restart in the middle of an overdue work period, then the user's answers to it.
TEST_F(MainWindow, RestoredOverdueWorkShowsTheBreakAndSavesTheStateAgain) {
    const std::int64_t now = app.calendar.Now();
    PutTime(L"TimeWorkStart", now - 56 * 60);
    PutTime(L"TimeActiveLast", now);
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Score", 70);
    Start();

    EXPECT_EQ(main->Text(), L"Quillfen Restwell 2.1");
    EXPECT_EQ(Text(IDC_STATUS_TEXT), L"You have been working for 56 minutes. Time for a break.");
    EXPECT_EQ(Text(IDC_DESCRIPTION), L"You will be reminded to take a 5 minute break every 55 minutes.");
    EXPECT_EQ(Text(IDC_RATING_TITLE), L"Your achievement rating for keeping to your break settings is...");
    EXPECT_EQ(Text(IDC_PLANNED_TEXT), L"You have not specified any Planned Breaks.");
    EXPECT_EQ(main->NotifyIcon().m_hIconCurrent,
              reinterpret_cast<HICON>(SendDlgItemMessageW(main->hwnd(), IDC_STATUS_ICON, STM_GETICON, 0, 0)));
    EXPECT_NE(main->NotifyIcon().m_hIconCurrent, nullptr);
    EXPECT_EQ(main->Engine().Rating().StoredValue(), 69u) << "the first overdue minute costs half a point";
    // The owner-drawn bar and banner carry their accessible names as their texts.
    EXPECT_EQ(Text(IDC_RATING_BAR), L"Your achievement rating for keeping to your break settings is... 69 %");
    EXPECT_EQ(Text(IDC_BANNER), app.companyLegalName);

    // The alert's "Suspend 15 minutes", posted as a command: IDI_DUE_SUSPENDED, no more reminders.
    SendMessageW(main->hwnd(), WM_COMMAND, ID_SUSPEND_15, 0);
    EXPECT_EQ(main->Engine().SuspendMs(), 15u * 60000);
    // Closing only hides the window; the program goes on.
    main->ShowMainWindow();
    SendMessageW(main->hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(rw::test::Hidden(main->hwnd()));
    EXPECT_TRUE(IsWindow(main->hwnd()));

    // Log-off saves the rating and both times, whole seconds back from now.
    app.calendar.Advance(30);
    app.input.tick += 30000;
    SendMessageW(main->hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StoredTime(L"TimeWorkStart"), now - 56 * 60);
    EXPECT_EQ(StoredTime(L"TimeActiveLast"), now);

    // "I am rested" ends the work period: the rested state at once.
    SendMessageW(main->hwnd(), WM_COMMAND, ID_I_AM_RESTED, 0);
    EXPECT_EQ(Text(IDC_STATUS_TEXT), L"You are rested.");
}

// The first tick shows the state at once, also in the first minute of a work period.
TEST_F(MainWindow, TheStateShowsFromTheStart) {
    struct Case {
        std::int64_t workStartedAgo;  // 0: no stored work period
        const wchar_t* status;
    } cases[] = {
        {0, L"You are rested."}, {30, L"You are rested."}, {14 * 60, L"You have been working for 14 minutes."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workStartedAgo);
        RegistryTest::SetUp();
        const std::int64_t now = app.calendar.Now();
        if (c.workStartedAgo != 0) {
            PutTime(L"TimeWorkStart", now - c.workStartedAgo);
            PutTime(L"TimeActiveLast", now);
        }
        Start();
        EXPECT_EQ(Text(IDC_STATUS_TEXT), c.status);
        ASSERT_NE(StatusIcon(), nullptr);
        EXPECT_EQ(main->NotifyIcon().m_hIconCurrent, StatusIcon()) << "the tray shows the state, not the program";
        main.reset();
    }
}

// Whenever the icon is made again (new settings, a policy refresh, a restarted taskbar) it
// shows the state at once: with a break due, its picture chooses the break menu.
TEST_F(MainWindow, ARecreatedIconShowsTheStateAtOnce) {
    const std::int64_t now = app.calendar.Now();
    PutTime(L"TimeWorkStart", now - 56 * 60);
    PutTime(L"TimeActiveLast", now);
    Start();
    ASSERT_NE(StatusIcon(), nullptr);
    const HICON due = StatusIcon();
    const std::function<void()> recreations[] = {
        [&] { main->ApplySettings(); },  // Options confirmed
        [&] { SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy")); },
        [&] { SendMessageW(main->hwnd(), CNotificationIcon::TaskbarCreatedMessage(), 0, 0); },
    };
    for (const auto& recreate : recreations) {
        recreate();
        EXPECT_EQ(main->NotifyIcon().m_hIconCurrent, due);
        EXPECT_EQ(StatusIcon(), due);
        EXPECT_EQ(Text(IDC_STATUS_TEXT), L"You have been working for 56 minutes. Time for a break.");
    }
}

// A log-off that another program cancels: the session goes on, and so does the status.
TEST_F(MainWindow, ACancelledLogOffKeepsTheStatusGoing) {
    const std::int64_t now = app.calendar.Now();
    PutTime(L"TimeWorkStart", now - 14 * 60);
    PutTime(L"TimeActiveLast", now);
    Start();
    ASSERT_EQ(Text(IDC_STATUS_TEXT), L"You have been working for 14 minutes.");
    // A second before the work period's next minute, so that the tick timer comes within a second.
    app.input.tick += 59000;
    app.input.lastInput = app.input.tick;
    SendMessageW(main->hwnd(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(main->hwnd(), WM_ENDSESSION, FALSE, 0);
    app.input.tick += 1000;
    app.input.lastInput = app.input.tick;
    EXPECT_TRUE(PumpUntil([&] { return Text(IDC_STATUS_TEXT) == L"You have been working for 15 minutes."; }, 5000))
        << "status: " << Text(IDC_STATUS_TEXT);
}

TEST_F(MainWindow, PolicyChangeReloadsTheSettingsInAnyLetterCase) {
    Start();
    EXPECT_TRUE(main->Engine().Choice().enabled);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Enable", 0);
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideOptions", 2);
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_TRUE(main->Engine().Choice().enabled) << "another area changes nothing";
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"pOLICY"));
    EXPECT_FALSE(main->Engine().Choice().enabled);
    EXPECT_EQ(app.reloads, 1);
    EXPECT_EQ(Text(IDC_STATUS_TEXT), L"");
    EXPECT_EQ(Text(IDC_DESCRIPTION), L"With this feature disabled you will not be reminded when breaks are due.");
    EXPECT_EQ(Text(IDC_RATING_TITLE), L"  You are not being rated as this feature is not enabled.");
    EXPECT_TRUE(rw::test::Hidden(GetDlgItem(main->hwnd(), IDC_OPTIONS)));

    // On again with an enforced work period: the texts follow the engine's new choice.
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Enable", 1);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Work", 90);
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"));
    EXPECT_EQ(main->Engine().Choice(), (rw::BreakChoice{true, 90, 5}));
    EXPECT_EQ(Text(IDC_DESCRIPTION), L"You will be reminded to take a 5 minute break every 90 minutes.");
    EXPECT_NE(Text(IDC_STATUS_TEXT), L"");
}

TEST_F(MainWindow, OrganisationsTabShowsOneAmpersandAndTheLinksFollowTheTabs) {
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthTitle", L"Health & Safety");
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthContents", L"Line one\\nLine two");
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthLink", L"intranet.example/health");
    Start();
    ASSERT_EQ(TabCtrl_GetItemCount(GetDlgItem(main->hwnd(), IDC_TIPS_TABS)), 5);
    EXPECT_EQ(TabText(0), L"Health && Safety");  // shown as one ampersand
    EXPECT_EQ(TabText(1), L"Frequent Breaks");
    EXPECT_EQ(Text(IDC_TIP_TEXT), L"Line one\r\nLine two\r\n\r\nClick here to learn more...");

    // The link opens the organisation's page on its tab, each standard tip's hint on the others.
    struct Case {
        int tab;
        std::uint32_t hint;
    };
    ClickTipLink();
    ASSERT_EQ(app.opened.size(), 1u);
    EXPECT_EQ(app.opened[0], L"intranet.example/health");
    for (const Case c : {Case{1, 100}, Case{2, 201}, Case{3, 200}, Case{4, 202}}) {
        SelectTab(c.tab);
        ClickTipLink();
        ASSERT_FALSE(app.hints.empty());
        EXPECT_EQ(app.hints.back(), c.hint) << "tab " << c.tab;
    }
    EXPECT_EQ(app.hints.size(), 4u);

    // The title removed by policy: the tab goes and the first standard tip is selected.
    RegistryTest::SetUp();
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"));
    EXPECT_EQ(TabCtrl_GetItemCount(GetDlgItem(main->hwnd(), IDC_TIPS_TABS)), 4);
    EXPECT_EQ(TabCtrl_GetCurSel(GetDlgItem(main->hwnd(), IDC_TIPS_TABS)), 0);
    EXPECT_EQ(TabText(0), L"Frequent Breaks");
}

// The bands of rows of the banner, drawn by the window into a bitmap, that hold text.
int BannerTextLines(HWND main) {
    HWND banner = GetDlgItem(main, IDC_BANNER);
    RECT rc{};
    GetClientRect(banner, &rc);
    WindowDC screen(nullptr);
    HDC dc = CreateCompatibleDC(screen.dc());
    BitmapOwner bitmap(CreateCompatibleBitmap(screen.dc(), rc.right, rc.bottom));
    int lines = 0;
    {
        SelectionGuard selected(dc, bitmap.get());
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = IDC_BANNER;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = banner;
        item.hDC = dc;
        item.rcItem = rc;
        SendMessageW(main, WM_DRAWITEM, IDC_BANNER, reinterpret_cast<LPARAM>(&item));
        const COLORREF back = GetSysColor(COLOR_BTNFACE);
        bool inText = false;
        for (int y = 0; y < rc.bottom; ++y) {
            bool text = false;
            for (int x = 0; x < rc.right && !text; ++x) text = GetPixel(dc, x, y) != back;
            if (text && !inText) ++lines;
            inText = text;
        }
    }
    DeleteDC(dc);
    return lines;
}

// A title too long for one line wraps, at the first drawing and after every reload.
TEST_F(MainWindow, ALongBannerTitleWrapsAfterAReloadToo) {
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Flanders Occupational Health Trust");
    app.LoadAppSettings();
    Start();
    ASSERT_TRUE(app.brandingActive);
    EXPECT_EQ(BannerTextLines(main->hwnd()), 2);
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"));  // as Options -> OK
    ASSERT_EQ(app.reloads, 2);
    EXPECT_EQ(BannerTextLines(main->hwnd()), 2);
    // A short one stays on one line.
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Flanders");
    SendMessageW(main->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"));
    EXPECT_EQ(BannerTextLines(main->hwnd()), 1);
}

// The window opens centred on the work area; moved to a monitor of 144 DPI it takes the size
// the system suggests, and the title font and the state icon grow with it.
TEST_F(MainWindow, OpensCentredAndFollowsADpiChange) {
    ASSERT_EQ(SystemDpi(), 96) << "the tests' prefix runs at 96 DPI";
    PutTime(L"TimeWorkStart", app.calendar.Now() - 10 * 60);  // working: the status shows an icon
    PutTime(L"TimeActiveLast", app.calendar.Now());
    Start();
    RECT work{}, placed{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(main->hwnd(), &placed);
    EXPECT_NEAR(placed.left + placed.right, work.left + work.right, 2);
    EXPECT_NEAR(placed.top + placed.bottom, work.top + work.bottom, 2);

    const auto iconWidth = [&] {
        HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageW(main->hwnd(), IDC_STATUS_ICON, STM_GETICON, 0, 0));
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) return 0;
        BITMAP bitmap{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        return static_cast<int>(bitmap.bmWidth);
    };
    const auto titleHeight = [&] {
        LOGFONTW font{};
        return main->TitleFont() && GetObjectW(main->TitleFont(), sizeof font, &font) ? font.lfHeight : 0;
    };
    EXPECT_EQ(iconWidth(), 16);
    EXPECT_EQ(titleHeight(), -16);

    RECT suggested{placed.left + 20, placed.top + 10, placed.left + 20 + (placed.right - placed.left) * 3 / 2,
                   placed.top + 10 + (placed.bottom - placed.top) * 3 / 2};
    SendMessageW(main->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT moved{};
    GetWindowRect(main->hwnd(), &moved);
    EXPECT_TRUE(EqualRect(&moved, &suggested));
    EXPECT_EQ(iconWidth(), 24);
    EXPECT_EQ(titleHeight(), -24);
    // The next state change keeps the icon at the new size.
    SendMessageW(main->hwnd(), WM_COMMAND, ID_I_AM_RESTED, 0);
    EXPECT_EQ(iconWidth(), 24);
}

// Tab from the tabs reaches the tip, which shows its link selected and in view; Enter opens it.
TEST_F(MainWindow, KeyboardReachesEveryTipAndOpensItsLink) {
    Start();
    main->ShowMainWindow();
    HWND edit = GetDlgItem(main->hwnd(), IDC_TIP_TEXT);
    const auto press = [&](WPARAM key) {
        MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        if (!IsDialogMessageW(main->hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    };
    const std::uint32_t hints[] = {100, 201, 200, 202};
    for (int tab = 0; tab < 4; ++tab) {
        SCOPED_TRACE(tab);
        SelectTab(tab);
        ASSERT_EQ(GetFocus(), GetDlgItem(main->hwnd(), IDC_TIPS_TABS));
        press(VK_TAB);
        ASSERT_EQ(GetFocus(), edit);
        wchar_t selected[64] = L"";
        SendMessageW(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected));
        EXPECT_STREQ(selected, L"Click here to learn more...");
        CHARRANGE range{};
        SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        POINTL at{};
        SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), range.cpMax);
        RECT client{};
        GetClientRect(edit, &client);
        EXPECT_GE(at.y, 0);
        EXPECT_LT(at.y, client.bottom) << "the link is in view";
        press(VK_RETURN);
        ASSERT_FALSE(app.hints.empty());
        EXPECT_EQ(app.hints.back(), hints[tab]);
        EXPECT_TRUE(IsWindowVisible(main->hwnd())) << "Enter is the link's, not the Close button's";
    }
    EXPECT_EQ(app.hints.size(), 4u);
}

// Text messages (read or write) sent to the main window's controls while the hook is set.
int g_textMessages = 0;
HWND g_mainWindow = nullptr;
LRESULT CALLBACK CountTextMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && GetParent(sent->hwnd) == g_mainWindow &&
        (sent->message == WM_GETTEXT || sent->message == WM_GETTEXTLENGTH || sent->message == WM_SETTEXT)) {
        ++g_textMessages;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Each tick costs what a timer costs: one that changes nothing leaves the controls alone, one
// that changes the status writes it.
TEST_F(MainWindow, ATickThatChangesNothingLeavesTheControlsAlone) {
    PutTime(L"TimeWorkStart", app.calendar.Now() - 10 * 60);
    PutTime(L"TimeActiveLast", app.calendar.Now());
    Start();
    g_mainWindow = main->hwnd();
    g_textMessages = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountTextMessages, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    SendMessageW(main->hwnd(), WM_TIMER, CBreakEngine::kTickTimerId, 0);
    SendMessageW(main->hwnd(), WM_TIMER, CBreakEngine::kTickTimerId, 0);
    const int unchanged = g_textMessages;
    app.calendar.Advance(60);
    app.input.tick += 60000;
    app.input.lastInput = app.input.tick;
    SendMessageW(main->hwnd(), WM_TIMER, CBreakEngine::kTickTimerId, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(unchanged, 0);
    // Only the status changed: it alone is read and written.
    EXPECT_EQ(g_textMessages - unchanged, 3);  // its length, its text, the new text
    EXPECT_EQ(Text(IDC_STATUS_TEXT), L"You have been working for 11 minutes.");
}

TEST_F(MainWindow, HelpMenuAndBannerCommands) {
    Start();
    SendMessageW(main->hwnd(), WM_COMMAND, ID_HELP_TOPICS, 0);
    SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BANNER, STN_CLICKED), 0);
    NMHDR link{GetDlgItem(main->hwnd(), IDC_BREAKS_LINK), IDC_BREAKS_LINK, static_cast<UINT>(NM_CLICK)};
    SendMessageW(main->hwnd(), WM_NOTIFY, IDC_BREAKS_LINK, reinterpret_cast<LPARAM>(&link));
    ASSERT_EQ(app.help.size(), 1u);
    EXPECT_EQ(app.help[0], (std::pair<DWORD_PTR, UINT>{0, HELP_CONTENTS}));
    ASSERT_EQ(app.opened.size(), 1u);
    EXPECT_EQ(app.opened[0], std::wstring(HomePageAddress()) + L" +ver");
    EXPECT_EQ(app.hints, std::vector<std::uint32_t>{100});
}

}  // namespace

namespace {

// The command of the menu item that reads text (0 when none does).
UINT MenuCommandByText(UINT menuId, const std::wstring& text) {
    const rw::MenuOwner menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
    HMENU items = menu.get() ? GetSubMenu(menu.get(), 0) : nullptr;
    for (int i = 0; items && i < GetMenuItemCount(items); ++i) {
        wchar_t item[64] = L"";
        if (GetMenuStringW(items, static_cast<UINT>(i), item, 64, MF_BYPOSITION) && text == item) {
            return GetMenuItemID(items, i);
        }
    }
    return 0;
}

// The suspend items of the alert's and the tray's menus, each for the length it reads: reminders
// stay away until just before its end and come back just after it.
TEST_F(MainWindow, EachSuspendCommandLastsItsOwnLength) {
    struct Case {
        UINT menu;
        const wchar_t* item;
        std::int64_t minutes;  // 0: until the next rest, however long that takes
    } cases[] = {
        {IDR_MENU_SUSPEND, L"Suspend 15 minutes", 15},         {IDR_MENU_SUSPEND, L"Suspend 30 minutes", 30},
        {IDR_MENU_SUSPEND, L"Suspend until next rest", 0},     {IDR_MENU_TRAY_BREAK, L"Suspend for &15 minutes", 15},
        {IDR_MENU_TRAY_BREAK, L"Suspend for &30 minutes", 30}, {IDR_MENU_TRAY_BREAK, L"&Suspend until next rest", 0},
    };
    const std::int64_t now = app.calendar.Now();
    PutTime(L"TimeWorkStart", now - 56 * 60);
    PutTime(L"TimeActiveLast", now);
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " " << std::string(c.item, c.item + wcslen(c.item)));
        const UINT command = MenuCommandByText(c.menu, c.item);
        ASSERT_NE(command, 0u);
        SendMessageW(main->hwnd(), WM_COMMAND, command, 0);
        const std::int64_t minutes = c.minutes ? c.minutes : 8 * 60;
        const auto after = [&](std::int64_t seconds) {
            return main->Engine().IsSuspended(app.input.tick + static_cast<std::uint32_t>(seconds * 1000),
                                              now + seconds);
        };
        EXPECT_TRUE(after(minutes * 60 - 1));
        EXPECT_EQ(after(minutes * 60 + 1), c.minutes == 0);
    }
}

// The workstation lock reaches the engine through the session-change message.
TEST_F(MainWindow, TheWorkstationLockAndUnlockReachTheEngine) {
    Start();
    SendMessageW(main->hwnd(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_NE(main->Engine().LockedTick(), 0);
    SendMessageW(main->hwnd(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_EQ(main->Engine().LockedTick(), 0);
}

// "Customize..." shows the planned breaks the engine holds, not what the registry says now,
// and Finish hands the list back to the engine and stores it once.
TEST_F(MainWindow, CustomizeShowsTheEnginesPlannedBreaksAndHandsThemBack) {
    PutString(kHkeyCurrentUser, false, L"Breaks", TimedEntryName(0).c_str(), L"0YYYYYYY,1230,Lunch");
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", 1);
    Start();
    ASSERT_EQ(main->Engine().PlannedBreaks().size(), 1u);
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", 0);  // changed behind the program's back

    std::vector<std::wstring> rows;
    LoopScript script({[&] {
        HWND sheet = FindWindowW(L"#32770", L"Restwell");
        ASSERT_NE(sheet, nullptr);
        HWND list = GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), IDC_PLANNED_LIST);
        wchar_t title[64] = L"";
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            ListView_GetItemText(list, row, 1, title, 64);
            rows.push_back(title);
        }
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    }});
    SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CUSTOMIZE, BN_CLICKED), 0);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(rows, std::vector<std::wstring>{L"Lunch"});
    ASSERT_EQ(main->Engine().PlannedBreaks().size(), 1u);
    EXPECT_EQ(main->Engine().PlannedBreaks()[0].m_strTitle, L"Lunch");
    const CPlannedBreakList stored = LoadPlannedBreakList(app.identity);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].m_strTitle, L"Lunch");
}

}  // namespace
