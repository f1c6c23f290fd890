// The About window (also the upgrade notice), the news window with its browser's two
// operations faked, and the main window's side of the upgrade and news check: its buttons,
// the news pop-up and what it stores, and the three ways to the About window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../shared/RegistryTestEnv.h"
#include "WindowState.h"
#include "LoopScript.h"
#include "MainWindowTest.h"
#include "NotifyTestSupport.h"
#include "ui/about/About.h"
#include "core/WebAddress.h"
#include "core/PrivateMessages.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "ui/main/Main.h"
#include "ui/news/WebBrowser.h"

using namespace rw;
using namespace rw::test;

namespace {

// A visible top-level window of this thread with that title.
HWND ThreadWindow(const wchar_t* title) {
    struct Search {
        const wchar_t* title;
        HWND found;
    } search{title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (IsWindowVisible(hwnd) && Window::TextOf(hwnd) == s->title) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int CountThreadWindows(const wchar_t* title) {
    struct Count {
        const wchar_t* title;
        int n;
    } count{title, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* c = reinterpret_cast<Count*>(lParam);
            if (IsWindowVisible(hwnd) && Window::TextOf(hwnd) == c->title) ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

void Notify(HWND dialog, int id, UINT code) {
    NMHDR header{GetDlgItem(dialog, id), static_cast<UINT_PTR>(id), code};
    SendMessageW(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

bool AppWindowStyle(HWND hwnd) {
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
}

TEST(AboutWindow, NoticeShowsItsTextUnchangedAndItsLinkOpensTheDownload) {
    TestAppShared app;
    CdlgAbout about(app.Services());
    const std::wstring message = L"Line one.\n\n<a>Please click here to download version 2.1.0.13022.</a>";
    about.SetNotice(L"Upgrade Available", message, L"http://dl.test/setup");
    std::wstring caption, shown;
    bool appWindow = false;
    LoopScript script({
        [&] {
            caption = Window::TextOf(about.hwnd());
            shown = about.ItemText(IDC_ABOUT_TEXT);
            appWindow = AppWindowStyle(about.hwnd());
        },
        [&] { Notify(about.hwnd(), IDC_ABOUT_TEXT, NM_CLICK); },
        [&] { SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BANNER, STN_CLICKED), 0); },
        [&] { SendMessageW(about.Item(IDOK), BM_CLICK, 0, 0); },
    });
    EXPECT_EQ(about.RunModal(nullptr), IDOK);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(caption, L"Upgrade Available");
    EXPECT_EQ(shown, message);
    EXPECT_TRUE(appWindow) << "without a parent it is on the taskbar";
    // The link opens the download, the banner the home page.
    EXPECT_EQ(app.opened,
              (std::vector<std::wstring>{L"http://dl.test/setup +ver", std::wstring(HomePageAddress()) + L" +ver"}));
}

TEST(AboutWindow, AboutTextWithVersionCopyrightAndHomePage) {
    TestAppShared app;
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (bool eco : {false, true}) {
        app.ecoMode = eco;
        CdlgAbout about(app.Services());
        std::wstring caption, shown, product;
        bool appWindow = true;
        LoopScript script({
            [&] {
                caption = Window::TextOf(about.hwnd());
                shown = about.ItemText(IDC_ABOUT_TEXT);
                product = about.ItemText(IDC_ABOUT_PRODUCT);
                appWindow = AppWindowStyle(about.hwnd());
            },
            [&] { Notify(about.hwnd(), IDC_ABOUT_TEXT, NM_CLICK); },
            [&] { SendMessageW(about.hwnd(), WM_COMMAND, IDCANCEL, 0); },
        });
        EXPECT_EQ(about.RunModal(owner), IDCANCEL);
        EXPECT_EQ(caption, L"About");
        EXPECT_EQ(shown,
                  std::wstring(
                      L"Version 2.1.0.13021\n\nCopyright \u00A9 2009-2026 Quillfen Ltd. All rights reserved.\n\n<a>") +
                      VendorHost() + L"</a>");
        EXPECT_EQ(product, L"Restwell");
        EXPECT_FALSE(appWindow) << "with a parent it has no taskbar button";
        EXPECT_EQ(about.m_imageBanner.IsNull(), eco) << "eco mode loads no image";
        EXPECT_EQ(about.m_imageTile.IsNull(), eco);
        EXPECT_EQ(about.m_rectHeader.bottom - about.m_rectHeader.top, eco ? 44 : about.m_nBannerHeight);
        ASSERT_EQ(app.opened.size(), 1u);
        EXPECT_EQ(app.opened[0], std::wstring(HomePageAddress()) + L" +ver");
        app.opened.clear();
    }
    DestroyWindow(owner);
}

// Over its owner when it has one that is shown; the upgrade notice, which has none, and the
// About window of a hidden main window in the middle of the work area.
TEST(AboutWindow, OpensCentredOverItsOwnerOrTheWorkArea) {
    TestAppShared app;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 40, 30, 700, 500, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(owner);
    struct Case {
        const char* what;
        HWND owner;
        bool shown;
        RECT over;
    } cases[] = {
        {"shown owner", owner, true, {40, 30, 740, 530}},
        {"hidden owner", owner, false, work},
        {"no owner", nullptr, false, work},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowWindow(owner, c.shown ? SW_SHOWNOACTIVATE : SW_HIDE);
        CdlgAbout about(app.Services());
        RECT placed{};
        LoopScript script({
            [&] { GetWindowRect(about.hwnd(), &placed); },
            [&] { SendMessageW(about.hwnd(), WM_COMMAND, IDCANCEL, 0); },
        });
        about.RunModal(c.owner);
        EXPECT_NEAR(placed.left + placed.right, c.over.left + c.over.right, 2);
        EXPECT_NEAR(placed.top + placed.bottom, c.over.top + c.over.bottom, 2);
    }
    DestroyWindow(owner);
}

TEST(AboutWindow, ANoticeLinkThatIsNoWebAddressOpensNothing) {
    TestAppShared app;
    for (const wchar_t* target : {L"", L"file:///C:/Windows/notepad.exe", L"\\\\server\\share\\setup.exe"}) {
        CdlgAbout about(app.Services());
        about.SetNotice(L"Upgrade Available", L"<a>link</a>", target);
        LoopScript script({
            [&] { Notify(about.hwnd(), IDC_ABOUT_TEXT, NM_CLICK); },
            [&] { SendMessageW(about.hwnd(), WM_COMMAND, IDOK, 0); },
        });
        about.RunModal(nullptr);
        EXPECT_TRUE(app.opened.empty()) << std::string(target, target + wcslen(target));
    }
}

class FakeBrowser : public BrowserOperations {
public:
    HRESULT Navigate(const std::wstring& url) override {
        navigated.push_back(url);
        return S_OK;
    }
    long ReadyState() override {
        ++polls;
        return state;
    }
    std::vector<std::wstring> navigated;
    long state = 1;
    int polls = 0;
};

TEST(NewsWindow, OkOnlyOnceThePageHasLoadedCancelAlways) {
    FakeBrowser browser;
    CdlgWebBrowser news(RGB(10, 20, 30), RGB(250, 250, 250), &browser);
    news.m_strUrl = L"http://news.test/latest";
    std::optional<bool> okAtStart, okWhileLoading, okLoaded;
    bool focused = false, appWindow = false;
    UINT_PTR timerAtStart = 0, timerLoaded = 1;
    int pollsWhileLoading = 0;
    LoopScript script({
        [&] {
            okAtStart = rw::test::EnabledOf(news.Item(IDOK));
            timerAtStart = news.m_nTimer;
            appWindow = AppWindowStyle(news.hwnd());
        },
        [&] {
            if (browser.polls == 0) LoopScript::Again();  // the window's first poll
        },
        [&] {
            okWhileLoading = rw::test::EnabledOf(news.Item(IDOK));
            pollsWhileLoading = browser.polls;
            browser.state = 4;
        },
        [&] {
            if (browser.polls == pollsWhileLoading) LoopScript::Again();  // a poll that sees it loaded
        },
        [&] {
            okLoaded = rw::test::EnabledOf(news.Item(IDOK));
            focused = GetFocus() == news.Item(IDOK);
            timerLoaded = news.m_nTimer;
        },
        [&] { SendMessageW(news.Item(IDOK), BM_CLICK, 0, 0); },
    });
    EXPECT_EQ(news.RunModal(nullptr), IDOK);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(browser.navigated, std::vector<std::wstring>{L"http://news.test/latest"});
    EXPECT_EQ(okAtStart, false);
    EXPECT_EQ(timerAtStart, CdlgWebBrowser::kLoadPollTimer);
    EXPECT_EQ(okWhileLoading, false);
    EXPECT_GT(pollsWhileLoading, 0);
    EXPECT_EQ(okLoaded, true);
    EXPECT_TRUE(focused);
    EXPECT_EQ(timerLoaded, 0u);
    EXPECT_TRUE(appWindow);
}

TEST(NewsWindow, ClosingWhileLoadingStopsThePolling) {
    FakeBrowser browser;
    CdlgWebBrowser news(RGB(10, 20, 30), RGB(250, 250, 250), &browser);
    news.m_strUrl = L"https://news.test/";
    LoopScript script({[&] {
                           if (browser.polls == 0) LoopScript::Again();  // polling has begun
                       },
                       [&] { SendMessageW(news.Item(IDCANCEL), BM_CLICK, 0, 0); }});
    EXPECT_EQ(news.RunModal(nullptr), IDCANCEL);
    EXPECT_EQ(news.m_nTimer, 0u);
    const int polls = browser.polls;
    MSG msg;
    const DWORD until = GetTickCount() + 300;
    while (GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    EXPECT_EQ(browser.polls, polls);
}

TEST(NewsWindow, NoAddressOrNoWebAddressLeavesOkAvailable) {
    for (const wchar_t* url : {L"", L"file:///C:/x.html", L"javascript:alert(1)"}) {
        FakeBrowser browser;
        CdlgWebBrowser news(RGB(10, 20, 30), RGB(250, 250, 250), &browser);
        news.m_strUrl = url;
        std::optional<bool> ok;
        UINT_PTR timer = 1;
        LoopScript script({[&] {
                               ok = rw::test::EnabledOf(news.Item(IDOK));
                               timer = news.m_nTimer;
                           },
                           [&] { SendMessageW(news.Item(IDOK), BM_CLICK, 0, 0); }});
        EXPECT_EQ(news.RunModal(nullptr), IDOK);
        EXPECT_EQ(ok, true);
        EXPECT_EQ(timer, 0u);
        EXPECT_TRUE(browser.navigated.empty());
    }
}

// The real control under Wine: created, asked to navigate, never complete; Cancel closes.
TEST(NewsWindow, RealBrowserControlNavigatesAndCancelCloses) {
    CdlgWebBrowser news(RGB(10, 20, 30), RGB(250, 250, 250));
    news.m_strUrl = L"http://127.0.0.1:9/news";
    bool hasControl = false;
    std::optional<bool> ok;
    LoopScript script({[&] {
                           HWND host = news.Item(IDC_NEWS_BROWSER);
                           hasControl = host && GetWindow(host, GW_CHILD) != nullptr;
                           ok = rw::test::EnabledOf(news.Item(IDOK));
                       },
                       [&] { SendMessageW(news.Item(IDCANCEL), BM_CLICK, 0, 0); }});
    EXPECT_EQ(news.RunModal(nullptr), IDCANCEL);
    EXPECT_TRUE(hasControl) << "the browser control's window sits in its host";
    EXPECT_EQ(ok, false);
}

class MainWindowUpdates : public MainWindowTest<> {
protected:
    // The window itself is hidden: its control's own style tells.
    bool Visible(int id) const { return (GetWindowLongW(Control(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    // A control that is missing fails the test rather than read as hidden or disabled.
    HWND Control(int id) const {
        HWND control = GetDlgItem(main->hwnd(), id);
        EXPECT_NE(control, nullptr) << "no control " << id;
        return control;
    }
    std::int64_t Stored(RootKey root, const wchar_t* section, const wchar_t* name) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(root, TestPath(false, section), name, type, data) || data.size() != 8) return -1;
        std::int64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | data[i];
        return v;
    }
};

TEST_F(MainWindowUpdates, UpgradeButtonFollowsTheRecordAndHideUpgrade) {
    Start();
    // Hidden buttons are disabled too: their access keys reach nothing.
    for (int id : {IDC_UPGRADE, IDC_NEWS}) {
        EXPECT_FALSE(Visible(id)) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    app.updates.SetUpgrade({L"http://dl.test/setup", PackVersion(2, 1, 0, 13022), 1});
    struct {
        int hide;
        bool visible, enabled;
    } cases[] = {{0, true, true}, {1, true, false}, {2, false, false}};
    for (const auto& c : cases) {
        PutDword(kHkeyCurrentUser, true, nullptr, L"HideUpgrade", c.hide);
        SendMessageW(main->hwnd(), WMU_UPGRADE_INFO, 0, 0);
        EXPECT_EQ(Visible(IDC_UPGRADE), c.visible) << c.hide;
        EXPECT_EQ(Enabled(IDC_UPGRADE), c.enabled) << c.hide;
    }
    EXPECT_EQ(Stored(kHkeyLocalMachine, L"Service", L"UpgradeVersion"),
              static_cast<std::int64_t>(PackVersion(2, 1, 0, 13022)));
    SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_UPGRADE, BN_CLICKED), 0);
    EXPECT_EQ(app.opened, std::vector<std::wstring>{L"http://dl.test/setup +ver"});

    // The running version: stored, but no button.
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideUpgrade", 0);
    app.updates.SetUpgrade({L"", kRunningVersion, 0});
    SendMessageW(main->hwnd(), WMU_UPGRADE_INFO, 0, 0);
    EXPECT_FALSE(Visible(IDC_UPGRADE));
    EXPECT_EQ(Stored(kHkeyLocalMachine, L"Service", L"UpgradeVersion"), static_cast<std::int64_t>(kRunningVersion));
}

TEST_F(MainWindowUpdates, NewsWaitsOutTheQuietPeriodAndHideNewsHidesTheButton) {
    app.calendar.SetNow(1796801400);
    app.welcomeTime = 1796801400 - 604799;  // a second short of a week
    Start();
    app.updates.SetNews({L"http://news.test/", PackVersion(2026, 12, 1, 1), 1});
    SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);  // a pop-up would run a modal loop here
    EXPECT_TRUE(Visible(IDC_NEWS));
    EXPECT_TRUE(Enabled(IDC_NEWS));
    EXPECT_EQ(Stored(kHkeyLocalMachine, L"Service", L"NewsVersion"),
              static_cast<std::int64_t>(PackVersion(2026, 12, 1, 1)));
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideNews", 2);
    SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);
    EXPECT_FALSE(Visible(IDC_NEWS));
}

TEST_F(MainWindowUpdates, NewsPopUpOutsideTheQuietPeriodRemembersOnlyOk) {
    app.calendar.SetNow(1796801400);
    app.welcomeTime = 0;
    Start();
    app.updates.SetNews({L"http://127.0.0.1:9/news", PackVersion(2026, 12, 1, 1), 1});
    int windows = 0;
    {
        LoopScript script({
            [&] {
                // While it is open another request is ignored.
                SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_NEWS, BN_CLICKED), 0);
                windows = CountThreadWindows(L"Restwell News");
            },
            [&] { SendMessageW(ThreadWindow(L"Restwell News"), WM_COMMAND, IDCANCEL, 0); },
        });
        SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);
        EXPECT_FALSE(script.timedOut());
    }
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(Stored(kHkeyCurrentUser, nullptr, L"NewsLast"), -1) << "Cancel remembers nothing";
    {
        LoopScript script({[&] { SendMessageW(ThreadWindow(L"Restwell News"), WM_COMMAND, IDOK, 0); }});
        SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);  // comes again
        EXPECT_FALSE(script.timedOut());
    }
    EXPECT_EQ(Stored(kHkeyCurrentUser, nullptr, L"NewsLast"), static_cast<std::int64_t>(PackVersion(2026, 12, 1, 1)));
    {
        LoopScript script({});
        SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);  // read: no pop-up
        EXPECT_EQ(CountThreadWindows(L"Restwell News"), 0);
    }
    PutDword(kHkeyCurrentUser, false, nullptr, L"NewsPopup", 0);
    app.updates.SetNews({L"http://127.0.0.1:9/news", PackVersion(2026, 12, 2, 1), 1});
    SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);  // switched off: no pop-up (else a modal loop)
    EXPECT_TRUE(Visible(IDC_NEWS));
}

// The check hands its notice to this thread and goes on: the notice shows here, without a
// parent; news that comes meanwhile waits for it, and a required upgrade ends the program
// once it is closed.
TEST_F(MainWindowUpdates, TheUpgradeNoticeShowsOnTheWindowsThreadAndNewsWaitsForIt) {
    app.calendar.SetNow(1796801400);
    app.welcomeTime = 0;
    Start();
    const UpdateRecord upgrade{L"http://dl.test/setup", PackVersion(2, 1, 0, 13022), 1};
    int newsWhileNotice = -1, newsAfterNotice = -1;
    bool noticeParentless = false;
    {
        LoopScript script({
            [&] {
                HWND notice = ThreadWindow(L"Upgrade Available");
                noticeParentless = notice && GetWindow(notice, GW_OWNER) == nullptr;
                app.updates.SetNews({L"http://127.0.0.1:9/news", PackVersion(2026, 12, 1, 1), 1});
                SendMessageW(main->hwnd(), WMU_NEWS_INFO, 0, 0);
                newsWhileNotice = CountThreadWindows(L"Restwell News");
            },
            [&] { SendMessageW(ThreadWindow(L"Upgrade Available"), WM_COMMAND, IDOK, 0); },
            [&] { newsAfterNotice = CountThreadWindows(L"Restwell News"); },
            [&] { SendMessageW(ThreadWindow(L"Restwell News"), WM_COMMAND, IDCANCEL, 0); },
        });
        app.updates.SetNotice({L"Upgrade Available", L"<a>x</a>", upgrade, false});
        SendMessageW(main->hwnd(), WMU_UPGRADE_NOTICE, 0, 0);
        EXPECT_FALSE(script.timedOut());
    }
    EXPECT_TRUE(noticeParentless);
    EXPECT_EQ(newsWhileNotice, 0);
    EXPECT_EQ(newsAfterNotice, 1);
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    {
        LoopScript script({[&] { SendMessageW(ThreadWindow(L"Upgrade Available"), WM_COMMAND, IDOK, 0); }});
        app.updates.SetNotice({L"Upgrade Available", L"<a>x</a>", upgrade, true});
        SendMessageW(main->hwnd(), WMU_UPGRADE_NOTICE, 0, 0);
        EXPECT_FALSE(script.timedOut());
    }
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a required upgrade ends the program";
    EXPECT_EQ(main->hwnd(), nullptr) << "as the exit command does";
}

TEST_F(MainWindowUpdates, ASkippedCheckShowsTheStoredState) {
    app.calendar.SetNow(1796801400);
    Start();
    WriteSettingInt64(kTestIdentity, Setting::UpgradeVersion, static_cast<std::int64_t>(PackVersion(2, 2, 0, 0)));
    WriteSettingString(kTestIdentity, Setting::UpgradeUrl, L"http://dl.test/");
    WriteSettingInt64(kTestIdentity, Setting::NewsVersion, static_cast<std::int64_t>(PackVersion(2026, 12, 1, 1)));
    WriteSettingString(kTestIdentity, Setting::NewsUrl, L"http://news.test/");
    SendMessageW(main->hwnd(), WMU_CHECK_SKIPPED, 0, 0);
    EXPECT_TRUE(Visible(IDC_UPGRADE));
    EXPECT_TRUE(Visible(IDC_NEWS));
    EXPECT_EQ(app.updates.Upgrade().url, L"http://dl.test/");
}

TEST_F(MainWindowUpdates, TrayHelpAndSystemMenuOpenTheAboutWindow) {
    Start();
    const std::vector<std::pair<UINT, WPARAM>> ways = {
        {WM_COMMAND, ID_ABOUT}, {WM_COMMAND, ID_HELP_ABOUT}, {WM_SYSCOMMAND, IDM_ABOUTBOX}};
    for (const auto& [message, wParam] : ways) {
        bool seen = false;
        LoopScript script({[&] {
            HWND about = ThreadWindow(L"About");
            seen = about != nullptr;
            if (about) SendMessageW(about, WM_COMMAND, IDOK, 0);
        }});
        SendMessageW(main->hwnd(), message, wParam, 0);
        EXPECT_TRUE(seen) << message << " " << wParam;
    }
}

}  // namespace
