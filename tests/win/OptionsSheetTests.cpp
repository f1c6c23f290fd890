// The Options sheet as the main window's Options button runs it, with real controls and the
// real (Wine) registry: policy locks, the sound controls, the branding groups and "Go", the
// style preview and its undoing, the Options button's policy, and a user who may not write
// the machine's settings.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>
#include <string>
#include <vector>

#include "../shared/RegistryTestEnv.h"
#include "LoopScript.h"
#include "MainWindowTest.h"
#include "NotifyTestSupport.h"
#include "WindowState.h"
#include "framework/Dpi.h"
#include "kit/EditBrowsePlus.h"
#include "kit/PagesPlus.h"
#include "platform/win32/RegistryWin32.h"
#include "ui/options/OptCompatibility.h"
#include "settings/TrayPreview.h"
#include "res/resource.h"
#include "ui/main/Main.h"

using namespace rw;
using namespace rw::test;

namespace {

// The real registry, optionally refusing writes to the machine's keys, as for a user
// without administrator rights.
class GuardedRegistry : public Registry {
public:
    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        if (denyMachineWrites && root == kHkeyLocalMachine && access != kKeyRead) return ERROR_ACCESS_DENIED;
        return real_.OpenKey(root, path, access, key);
    }
    long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        if (denyMachineWrites && root == kHkeyLocalMachine) return ERROR_ACCESS_DENIED;
        return real_.CreateKey(root, path, access, key);
    }
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        return real_.QueryValue(key, name, type, data, size);
    }
    long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        return real_.SetValue(key, name, type, data, size);
    }
    void CloseKey(RegKey key) override { real_.CloseKey(key); }
    bool denyMachineWrites = false;

private:
    RegistryWin32 real_;
};

// The application state of the window tests, on a registry that can refuse the machine's keys.
class OptionsApp : public TestAppShared {
public:
    OptionsApp() : TestAppShared(&registry) {}
    GuardedRegistry registry;
};

enum Page { kGeneral = 0, kCommercial = 1, kNotifications = 2 };

class OptionsSheet : public MainWindowTest<OptionsApp> {
protected:
    // Runs the sheet from the Options button with the script's steps inside its loop.
    // Returns the texts of the message boxes that opened meanwhile.
    std::vector<std::wstring> RunOptions(std::vector<LoopScript::Step> steps) {
        LoopScript script(std::move(steps));
        SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_OPTIONS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main->hwnd(), IDC_OPTIONS)));
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(script.timedOut());
        return script.messageBoxes();
    }
    static HWND Sheet() {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM out) {
                if (IsWindowVisible(hwnd) && Window::TextOf(hwnd) == L"Options" && PropSheet_GetCurrentPageHwnd(hwnd)) {
                    *reinterpret_cast<HWND*>(out) = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    // Brings the page to the front, as a click on its tab does, and returns it.
    static HWND ShowPage(Page page) {
        HWND sheet = Sheet();
        PropSheet_SetCurSel(sheet, nullptr, page);
        return PropSheet_GetCurrentPageHwnd(sheet);
    }
    static void Press(int button) { PropSheet_PressButton(Sheet(), button); }
    static bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    static bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static std::uint32_t SelectedStyle(HWND page) {
        HWND list = GetDlgItem(page, IDC_OPT_STYLE_LIST);
        return static_cast<std::uint32_t>(
            SendMessageW(list, CB_GETITEMDATA, SendMessageW(list, CB_GETCURSEL, 0, 0), 0));
    }
    // Picks a style as the user does: the list's selection, then its confirmation.
    static void PickStyle(HWND page, std::uint32_t style) {
        HWND list = GetDlgItem(page, IDC_OPT_STYLE_LIST);
        ASSERT_TRUE(nsHalden::CPropertyPagePlus::SelectItemByData(list, style));
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_OPT_STYLE_LIST, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    }
    static void Type(HWND page, int id, const std::wstring& text) { SetDlgItemTextW(page, id, text.c_str()); }
    static void Click(HWND page, int id) {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static std::wstring StoredString(RootKey root, bool policy, const wchar_t* section, const wchar_t* name) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(root, TestPath(policy, section), name, type, data) || type != kRegSz) return L"<none>";
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        return text.substr(0, text.find(L'\0'));
    }
    static long StoredDword(RootKey root, const wchar_t* name) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(root, TestPath(false, nullptr), name, type, data) || type != kRegDword) return -1;
        return static_cast<long>(*reinterpret_cast<const std::uint32_t*>(data.data()));
    }
    std::wstring AlertText() const {
        return static_cast<CdlgNotificationAlert*>(main->NotifyIcon().m_pPopup)->m_strMessageText;
    }
    void ClearAlertText() {
        static_cast<CdlgNotificationAlert*>(main->NotifyIcon().m_pPopup)->m_strMessageText.clear();
    }
};

// Moved to a monitor of 1.5 times the DPI (the system's message, which Wine never sends): the
// sheet, its tabs and buttons, the page on show and a page first shown afterwards draw with
// fonts and take places at the new DPI, as they would have been laid out there.
TEST_F(OptionsSheet, FollowsADpiChangeWithFontsAndLayout) {
    Start();
    struct Seen {
        int sheetFont = 0, generalFont = 0, notificationsFont = 0;
        SIZE sheet{}, ok{}, newsBox{}, generalPage{}, notificationsPage{}, soundDefault{};
    };
    const auto look = [&](bool change) {
        Seen seen;
        RunOptions({[&] {
            HWND sheet = Sheet();
            ASSERT_NE(sheet, nullptr);
            HWND general = ShowPage(kGeneral);
            const int dpi = WindowDpi(sheet);
            if (change) SendDpiChange(sheet, dpi, dpi * 3 / 2);
            seen.sheetFont = FontHeightOf(PropSheet_GetTabControl(sheet));
            seen.generalFont = FontHeightOf(GetDlgItem(general, IDC_OPT_NEWS_POPUP));
            seen.sheet = SizeOf(sheet);
            seen.ok = SizeOf(GetDlgItem(sheet, IDOK));
            seen.newsBox = SizeOf(GetDlgItem(general, IDC_OPT_GROUP_NEWS));
            seen.generalPage = SizeOf(general);
            HWND notifications = ShowPage(kNotifications);  // first shown after the change
            seen.notificationsFont = FontHeightOf(GetDlgItem(notifications, IDC_OPT_SOUND_DEFAULT));
            seen.notificationsPage = SizeOf(notifications);
            seen.soundDefault = SizeOf(GetDlgItem(notifications, IDC_OPT_SOUND_DEFAULT));
            Press(PSBTN_CANCEL);
        }});
        return seen;
    };
    const Seen before = look(false);
    const Seen after = look(true);
    const int from = 2, to = 3;
    EXPECT_TRUE(ScaledBy(before.sheetFont, after.sheetFont, from, to)) << "the tabs' font";
    EXPECT_TRUE(ScaledBy(before.generalFont, after.generalFont, from, to)) << "the page on show";
    EXPECT_TRUE(ScaledBy(before.notificationsFont, after.notificationsFont, from, to)) << "a page shown later";
    for (auto [name, b, a] : {std::tuple{"sheet", before.sheet, after.sheet},
                              {"OK", before.ok, after.ok},
                              {"news group", before.newsBox, after.newsBox},
                              {"page on show", before.generalPage, after.generalPage},
                              {"radio button on the later page", before.soundDefault, after.soundDefault}}) {
        EXPECT_TRUE(ScaledBy(b.cx, a.cx, from, to)) << name << "'s width";
        EXPECT_TRUE(ScaledBy(b.cy, a.cy, from, to)) << name << "'s height";
    }
    // The sheet places a page shown later in its display area, as large as the first give or
    // take the rounding of the tabs' scaled rectangle.
    EXPECT_NEAR(after.notificationsPage.cx, after.generalPage.cx, 6);
    EXPECT_NEAR(after.notificationsPage.cy, after.generalPage.cy, 6);
}

// A small file standing for a wave file.
std::wstring TempSoundFile() {
    wchar_t dir[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"rw_options_test.wav";
    std::ofstream(path.c_str(), std::ios::binary) << "RIFF";
    return path;
}

TEST_F(OptionsSheet, PolicyValuesAreShownLockedAndOkCopiesOnlyWhatThePagesWrite) {
    PutDword(kHkeyCurrentUser, true, nullptr, L"NotificationStyle", 1);
    PutDword(kHkeyCurrentUser, true, nullptr, L"NewsPopup", 0);
    PutDword(kHkeyCurrentUser, false, nullptr, L"NewsPopup", 1);  // the user's own, under the policy
    PutDword(kHkeyCurrentUser, false, nullptr, L"EcoMode", 1);
    Start();
    bool listEnabled = true, newsEnabled = false, newsChecked = true, upgradeEnabled = false, ecoChecked = false;
    std::uint32_t shown = 99;
    RunOptions({
        [&] {
            HWND general = ShowPage(kGeneral);
            newsEnabled = Enabled(general, IDC_OPT_NEWS_POPUP);
            newsChecked = Checked(general, IDC_OPT_NEWS_POPUP);
            upgradeEnabled = Enabled(general, IDC_OPT_UPGRADE_POPUP);
            ecoChecked = Checked(general, IDC_OPT_ECO_MODE);
            HWND notifications = ShowPage(kNotifications);
            listEnabled = Enabled(notifications, IDC_OPT_STYLE_LIST);
            shown = SelectedStyle(notifications);
            Press(PSBTN_OK);
        },
    });
    EXPECT_FALSE(listEnabled);
    EXPECT_EQ(shown, 1u);
    EXPECT_FALSE(newsEnabled);
    EXPECT_FALSE(newsChecked);
    EXPECT_TRUE(upgradeEnabled) << "only the values set in policy are locked";
    EXPECT_TRUE(ecoChecked);
    // The style is written only when it differs from the one shown; the General page writes
    // the values it does not show locked, and leaves the user's own under a policy as it was.
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NotificationStyle"), -1);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NewsPopup"), 1);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"UpgradePopupOpts"), 1);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"EcoMode"), 1);
}

TEST_F(OptionsSheet, StylesWithoutCustomNotificationsClearTheSoundOnOk) {
    for (std::uint32_t style : {0u, 1u}) {
        SCOPED_TRACE(style);
        ResetTestRegistry();
        const std::wstring sound = TempSoundFile();
        PutString(kHkeyCurrentUser, false, nullptr, L"NotificationSound", sound);
        Start();
        bool fileRadioBefore = false, pathEnabledAfter = true, playEnabledAfter = true, radioEnabledAfter = true;
        RunOptions({
            [&] {
                HWND page = ShowPage(kNotifications);
                fileRadioBefore = Checked(page, IDC_OPT_SOUND_FILE);
                PickStyle(page, style);
                pathEnabledAfter = Enabled(page, IDC_OPT_SOUND_PATH);
                radioEnabledAfter = Enabled(page, IDC_OPT_SOUND_FILE);
                playEnabledAfter = Enabled(page, IDC_OPT_SOUND_PLAY);
                Press(PSBTN_OK);
            },
        });
        EXPECT_TRUE(fileRadioBefore) << "a stored path selects the sound file";
        EXPECT_FALSE(pathEnabledAfter);
        EXPECT_FALSE(radioEnabledAfter);
        EXPECT_FALSE(playEnabledAfter);
        EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NotificationStyle"), static_cast<long>(style));
        EXPECT_EQ(StoredString(kHkeyCurrentUser, false, nullptr, L"NotificationSound"), L"");
        EXPECT_EQ(main->NotifyIcon().m_nStyle, style) << "the icon follows the new style";
        main.reset();
    }
}

TEST_F(OptionsSheet, TypedPathEnablesPlayOnlyForAnExistingFile) {
    const std::wstring sound = TempSoundFile();
    Start();  // style 2, no sound stored
    struct Case {
        std::wstring path;
        bool play;
        bool fileRadio;
    };
    const Case cases[] = {
        {sound, true, true},
        {sound + L".missing", false, true},
        {L"", false, false},  // clearing the path selects the system's sound
    };
    std::vector<Case> seen;
    bool playAtOpen = true, defaultAtOpen = false;
    RunOptions({
        [&] {
            HWND page = ShowPage(kNotifications);
            playAtOpen = Enabled(page, IDC_OPT_SOUND_PLAY);
            defaultAtOpen = Checked(page, IDC_OPT_SOUND_DEFAULT);
            for (const Case& c : cases) {
                Type(page, IDC_OPT_SOUND_PATH, c.path);
                seen.push_back({c.path, Enabled(page, IDC_OPT_SOUND_PLAY), Checked(page, IDC_OPT_SOUND_FILE)});
            }
            Type(page, IDC_OPT_SOUND_PATH, sound);
            Press(PSBTN_OK);
        },
    });
    EXPECT_FALSE(playAtOpen);
    EXPECT_TRUE(defaultAtOpen);
    ASSERT_EQ(seen.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].play, cases[i].play);
        EXPECT_EQ(seen[i].fileRadio, cases[i].fileRadio);
    }
    EXPECT_EQ(StoredString(kHkeyCurrentUser, false, nullptr, L"NotificationSound"), sound);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NotificationStyle"), -1) << "the style did not change";
    EXPECT_EQ(main->NotifyIcon().m_strSound, sound) << "the icon plays the saved sound";
}

// What the Notifications page asks of the icon while the sheet is open.
class RecordingPreview : public TrayPreview {
public:
    void PreviewStyle(std::uint32_t) override {}
    void PreviewEcoMode(bool) override {}
    void PreviewSound(const std::wstring&) override {}
    void PlaySoundFile(const std::wstring& path) override { played.push_back(path); }
    std::vector<std::wstring> played;
};

TEST_F(OptionsSheet, PlayPlaysThePathInTheFieldAndIsOffWithoutOne) {
    const std::wstring first = TempSoundFile();
    const std::wstring second = first.substr(0, first.size() - 4) + L"-2.wav";
    std::ofstream(second.c_str(), std::ios::binary) << "RIFF";
    RecordingPreview preview;
    CppOptCompatibility page(app.identity, &preview);
    page.m_nStyle = 2;  // a custom style: the page's sound is played
    nsHalden::CPropertySheetPlus sheet(L"Options");
    sheet.AddPage(page);
    std::vector<bool> playEnabled;
    LoopScript script({[&] {
        HWND p = PropSheet_GetCurrentPageHwnd(Sheet());
        ASSERT_NE(p, nullptr);
        HWND play = GetDlgItem(p, IDC_OPT_SOUND_PLAY);
        ASSERT_NE(play, nullptr);
        for (const std::wstring& path : {first, second, std::wstring()}) {
            Type(p, IDC_OPT_SOUND_PATH, path);
            playEnabled.push_back(IsWindowEnabled(play) != FALSE);
            if (IsWindowEnabled(play)) SendMessageW(play, BM_CLICK, 0, 0);
        }
        Click(p, IDC_OPT_SOUND_PLAY);  // a stray command with the field empty
        Press(PSBTN_CANCEL);
    }});
    sheet.RunModal();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(playEnabled, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(preview.played, (std::vector<std::wstring>{first, second})) << "each click plays what the field holds";
    DeleteFileW(second.c_str());
}

TEST_F(OptionsSheet, TheOpenStyleListShowsEveryStyleWhole) {
    Start();
    int widest = 0, listWidth = 0;
    RunOptions({[&] {
        HWND list = GetDlgItem(ShowPage(kNotifications), IDC_OPT_STYLE_LIST);
        ASSERT_NE(list, nullptr);
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(list, &info));
        ASSERT_NE(info.hwndList, nullptr);
        RECT client{};
        GetClientRect(info.hwndList, &client);
        listWidth = client.right;
        const HDC dc = GetDC(info.hwndList);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(info.hwndList, WM_GETFONT, 0, 0)));
        for (int i = 0; i < static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)); ++i) {
            wchar_t text[256] = L"";
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            SIZE size{};
            GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, old);
        ReleaseDC(info.hwndList, dc);
        SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        Press(PSBTN_CANCEL);
    }});
    EXPECT_GT(widest, 0);
    EXPECT_GE(listWidth, widest) << "the longest style is cut in the open list";
}

TEST_F(OptionsSheet, BrandDisabledZeroInPolicyLocksTheIdentityGroup) {
    PutDword(kHkeyLocalMachine, true, L"Service", L"BrandDisabled", 0);
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Plain title");
    PutString(kHkeyLocalMachine, true, L"Service", L"BrandImage", L"C:\\policy\\banner.png");
    Start();
    bool titleEnabled = true, imageEnabled = true, browseEnabled = true, healthEnabled = false;
    std::wstring title, image;
    RunOptions({
        [&] {
            HWND page = ShowPage(kCommercial);
            titleEnabled = Enabled(page, IDC_OPT_BRAND_TITLE);
            imageEnabled = Enabled(page, IDC_OPT_BRAND_IMAGE);
            HWND browse = GetDlgItem(page, IDC_OPT_BRAND_IMAGE_BROWSE);
            ASSERT_NE(browse, nullptr);
            browseEnabled = IsWindowEnabled(browse) != FALSE;
            healthEnabled = Enabled(page, IDC_OPT_HEALTH_TITLE);
            title = Window::TextOf(GetDlgItem(page, IDC_OPT_BRAND_TITLE));
            image = Window::TextOf(GetDlgItem(page, IDC_OPT_BRAND_IMAGE));
            Type(page, IDC_OPT_HEALTH_TITLE, L"Wellbeing");
            Press(PSBTN_OK);
        },
    });
    EXPECT_FALSE(titleEnabled);
    EXPECT_FALSE(imageEnabled);
    EXPECT_FALSE(browseEnabled) << "the browse button goes with its edit";
    EXPECT_TRUE(healthEnabled);
    EXPECT_EQ(title, L"") << "read from the policy key, where there is none";
    EXPECT_EQ(image, L"C:\\policy\\banner.png");
    // The locked group is not written; the open one is.
    EXPECT_EQ(StoredString(kHkeyLocalMachine, false, L"Service", L"BrandTitle"), L"Plain title");
    EXPECT_EQ(StoredString(kHkeyLocalMachine, false, L"Service", L"BrandImage"), L"<none>");
    EXPECT_EQ(StoredString(kHkeyLocalMachine, false, L"Service", L"BrandHealthTitle"), L"Wellbeing");
}

TEST_F(OptionsSheet, GoFollowsTheHealthGroupsLockAndOpensItsLink) {
    struct Case {
        const char* name;
        bool policySwitch;  // "BrandHealthDisabled" in the machine policy key, else plain
        std::uint32_t disabled;
        const wchar_t* policyLink;
        bool goEnabled;
        const wchar_t* opened;  // by a click on Go; null: nothing
    };
    const Case cases[] = {
        {"disabled, link empty", false, 1, nullptr, false, nullptr},
        {"policy group with a link", true, 0, L"intranet.example/health", true, L"intranet.example/health"},
        {"open group, link empty", false, 0, nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestRegistry();
        app.opened.clear();
        PutDword(kHkeyLocalMachine, c.policySwitch, L"Service", L"BrandHealthDisabled", c.disabled);
        if (c.policyLink) PutString(kHkeyLocalMachine, true, L"Service", L"BrandHealthLink", c.policyLink);
        Start();
        bool goEnabled = !c.goEnabled, linkEnabled = true;
        RunOptions({
            [&] {
                HWND page = ShowPage(kCommercial);
                goEnabled = Enabled(page, IDC_OPT_HEALTH_GO);
                linkEnabled = Enabled(page, IDC_OPT_HEALTH_LINK);
                if (goEnabled) Click(page, IDC_OPT_HEALTH_GO);
                Press(PSBTN_CANCEL);
            },
        });
        EXPECT_EQ(goEnabled, c.goEnabled);
        EXPECT_EQ(linkEnabled, c.disabled == 0 && !c.policySwitch);
        EXPECT_EQ(app.opened, c.opened ? std::vector<std::wstring>{c.opened} : std::vector<std::wstring>{})
            << "opened without the version";
        main.reset();
    }
}

TEST_F(OptionsSheet, CancelAfterAPreviewRestoresTheStyleAndShowsTheWelcome) {
    Start();  // style 2
    ASSERT_EQ(main->NotifyIcon().m_nStyle, 2u);
    std::uint32_t previewed = 99;
    std::wstring previewAlert;
    RunOptions({
        [&] { PickStyle(ShowPage(kNotifications), 3); },
        [&] {
            previewed = main->NotifyIcon().m_nStyle;
            previewAlert = AlertText();
            ClearAlertText();
            Press(PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(previewed, 3u) << "the preview shows the picked style";
    EXPECT_EQ(previewAlert.rfind(L"Welcome.", 0), 0u) << "as a demonstration";
    EXPECT_EQ(main->NotifyIcon().m_nStyle, 2u);
    EXPECT_EQ(AlertText().rfind(L"Welcome.", 0), 0u);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NotificationStyle"), -1);
}

TEST_F(OptionsSheet, CancelWithoutAPreviewLeavesTheIconAlone) {
    Start();
    ClearAlertText();
    RunOptions({[&] {
        ShowPage(kNotifications);
        Press(PSBTN_CANCEL);
    }});
    EXPECT_EQ(AlertText(), L"") << "no welcome: nothing was re-created";
    EXPECT_EQ(StoredString(kHkeyCurrentUser, false, nullptr, L"NotificationSound"), L"<none>");
}

TEST_F(OptionsSheet, HideOptionsPolicyDisablesOrHidesTheButton) {
    struct Case {
        std::uint32_t hide;
        bool policy;
        bool enabled, visible;
    };
    const Case cases[] = {
        {0, true, true, true}, {1, true, false, true}, {2, true, false, false}, {2, false, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "HideOptions " << c.hide << (c.policy ? " in policy" : " plain"));
        ResetTestRegistry();
        PutDword(kHkeyCurrentUser, c.policy, nullptr, L"HideOptions", c.hide);
        Start();
        HWND button = GetDlgItem(main->hwnd(), IDC_OPTIONS);
        EXPECT_EQ(IsWindowEnabled(button) != FALSE, c.enabled);
        EXPECT_EQ((GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0, c.visible);
        main.reset();
    }
}

TEST_F(OptionsSheet, UserWithoutMachineWriteRightsKeepsEverySettingOfTheirOwn) {
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Old title");
    app.registry.denyMachineWrites = true;
    const std::wstring sound = TempSoundFile();
    Start();
    RunOptions({
        [&] {
            HWND general = ShowPage(kGeneral);
            CheckDlgButton(general, IDC_OPT_NEWS_POPUP, BST_UNCHECKED);
            HWND commercial = ShowPage(kCommercial);
            Type(commercial, IDC_OPT_BRAND_TITLE, L"New title");
            Type(commercial, IDC_OPT_HEALTH_LINK, L"intranet.example");
            HWND notifications = ShowPage(kNotifications);
            PickStyle(notifications, 3);
            Type(notifications, IDC_OPT_SOUND_PATH, sound);
            Press(PSBTN_OK);
        },
    });
    EXPECT_EQ(StoredString(kHkeyLocalMachine, false, L"Service", L"BrandTitle"), L"Old title");
    EXPECT_EQ(StoredString(kHkeyLocalMachine, false, L"Service", L"BrandHealthLink"), L"<none>");
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NewsPopup"), 0);
    EXPECT_EQ(StoredDword(kHkeyCurrentUser, L"NotificationStyle"), 3);
    EXPECT_EQ(StoredString(kHkeyCurrentUser, false, nullptr, L"NotificationSound"), sound);
    EXPECT_EQ(main->NotifyIcon().m_nStyle, 3u);
}

TEST_F(OptionsSheet, StoredValuesTooLongAreShownWholeAndReported) {
    const std::wstring longPath = L"C:\\" + std::wstring(300, L's') + L".wav";
    const std::wstring longTitle(100, L't');
    PutString(kHkeyCurrentUser, false, nullptr, L"NotificationSound", longPath);
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", longTitle);
    Start();
    std::wstring path, title;
    LRESULT pathLimit = 0, contentsLimit = 0;
    const std::vector<std::wstring> boxes = RunOptions({
        [&] {
            HWND page = ShowPage(kCommercial);
            title = Window::TextOf(GetDlgItem(page, IDC_OPT_BRAND_TITLE));
            contentsLimit = SendDlgItemMessageW(page, IDC_OPT_HEALTH_CONTENTS, EM_GETLIMITTEXT, 0, 0);
        },
        [&] {
            HWND page = ShowPage(kNotifications);
            path = Window::TextOf(GetDlgItem(page, IDC_OPT_SOUND_PATH));
            pathLimit = SendDlgItemMessageW(page, IDC_OPT_SOUND_PATH, EM_GETLIMITTEXT, 0, 0);
        },
        [&] { Press(PSBTN_CANCEL); },
    });
    EXPECT_EQ(title, longTitle) << "shown whole, not as an empty field";
    EXPECT_EQ(path, longPath);
    EXPECT_EQ(pathLimit, 259);
    EXPECT_EQ(contentsLimit, 1024);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find(L"\"BrandTitle\" is 100 characters long, more than the 80"), std::wstring::npos)
        << testing::PrintToString(boxes[0]);
    EXPECT_NE(boxes[1].find(L"\"NotificationSound\" is 307 characters long, more than the 259"), std::wstring::npos)
        << testing::PrintToString(boxes[1]);
}

TEST_F(OptionsSheet, EveryPageHasDistinctAccessKeysAndNamedBrowseButtons) {
    Start();
    std::wstring keys[3];
    std::wstring soundName, imageName;
    RunOptions({[&] {
        // A page's keys meet the sheet's own buttons ("&Apply") in one window.
        for (Page page : {kGeneral, kCommercial, kNotifications}) {
            HWND shown = ShowPage(page);
            keys[page] = AccessKeysOf(shown) + AccessKeysOf(GetParent(shown));
        }
        HWND sound = GetDlgItem(ShowPage(kNotifications), IDC_OPT_SOUND_BROWSE);
        HWND image = GetDlgItem(ShowPage(kCommercial), IDC_OPT_BRAND_IMAGE_BROWSE);
        ASSERT_NE(sound, nullptr);
        ASSERT_NE(image, nullptr);
        soundName = Window::TextOf(sound);
        imageName = Window::TextOf(image);
        Press(PSBTN_CANCEL);
    }});
    for (const std::wstring& page : keys) {
        std::wstring sorted = page;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
            << "keys: " << testing::PrintToString(page);
    }
    // The style list, both radio buttons and the sound path each have a key of their own.
    EXPECT_GE(keys[kNotifications].size(), 4u) << testing::PrintToString(keys[kNotifications]);
    EXPECT_EQ(soundName, L"Browse for a sound file");
    EXPECT_EQ(imageName, L"Browse for an image");
}

// Distinct colours of a rectangle of the screen, or of a window printed into a bitmap.
size_t DistinctColours(HDC dc, const RECT& rect) {
    std::vector<COLORREF> seen;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
        }
    }
    return seen.size();
}

size_t PrintedColours(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, BLACKNESS);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    const size_t colours = DistinctColours(memory, client);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colours;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(OptionsSheet, BrowseButtonsStandBesideTheirEditsDrawnAndFollowThem) {
    Start();
    struct Seen {
        RECT page{}, edit{}, button{}, neighbour{};
        size_t printed = 0, onScreen = 0;
        bool visible = false, enabled = false;
    };
    Seen sound, image;
    bool enabledWithSystemStyle = true, hiddenWithEdit = true, shownAgain = false;
    auto look = [](HWND page, int editId, int buttonId, int neighbourId, Seen& seen) {
        HWND edit = GetDlgItem(page, editId);
        HWND button = GetDlgItem(page, buttonId);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(GetWindow(edit, GW_HWNDNEXT), button) << "right after the edit in the tab order";
        GetWindowRect(page, &seen.page);
        seen.edit = ScreenRect(edit);
        seen.button = ScreenRect(button);
        if (neighbourId) seen.neighbour = ScreenRect(GetDlgItem(page, neighbourId));
        seen.visible = IsWindowVisible(button) != FALSE;
        seen.enabled = IsWindowEnabled(button) != FALSE;
        UpdateWindow(page);
        seen.printed = PrintedColours(button);
        HDC screen = GetDC(nullptr);
        seen.onScreen = DistinctColours(screen, seen.button);
        ReleaseDC(nullptr, screen);
    };
    RunOptions({
        [&] { look(ShowPage(kCommercial), IDC_OPT_BRAND_IMAGE, IDC_OPT_BRAND_IMAGE_BROWSE, 0, image); },
        [&] { look(ShowPage(kNotifications), IDC_OPT_SOUND_PATH, IDC_OPT_SOUND_BROWSE, IDC_OPT_SOUND_PLAY, sound); },
        [&] {
            HWND page = ShowPage(kNotifications);
            HWND edit = GetDlgItem(page, IDC_OPT_SOUND_PATH);
            HWND button = GetDlgItem(page, IDC_OPT_SOUND_BROWSE);
            ASSERT_NE(button, nullptr);
            PickStyle(page, 0);  // the system's notifications: no sound of our own
            enabledWithSystemStyle = IsWindowEnabled(button) != FALSE;
            ShowWindow(edit, SW_HIDE);
            hiddenWithEdit = IsWindowVisible(button) != FALSE;
            ShowWindow(edit, SW_SHOW);
            shownAgain = IsWindowVisible(button) != FALSE;
            Press(PSBTN_CANCEL);
        },
    });
    for (const Seen* seen : {&image, &sound}) {
        SCOPED_TRACE(seen == &image ? "branding image" : "notification sound");
        RECT inside{};
        EXPECT_TRUE(IntersectRect(&inside, &seen->button, &seen->page) && EqualRect(&inside, &seen->button))
            << "the button lies within its page";
        EXPECT_FALSE(IntersectRect(&inside, &seen->button, &seen->edit)) << "beside the edit, not under it";
        EXPECT_FALSE(IntersectRect(&inside, &seen->button, &seen->neighbour)) << "clear of the next control";
        EXPECT_GE(seen->button.left, seen->edit.right);
        EXPECT_LE(seen->button.left - seen->edit.right, 4);
        EXPECT_EQ(seen->button.top, seen->edit.top);
        EXPECT_EQ(seen->button.bottom, seen->edit.bottom);
        EXPECT_GE(seen->button.right - seen->button.left, seen->button.bottom - seen->button.top);
        EXPECT_TRUE(seen->visible);
        EXPECT_TRUE(seen->enabled);
        EXPECT_GE(seen->printed, 3u) << "the button paints its frame and icon";
        EXPECT_GE(seen->onScreen, 3u) << "and they reach the screen";
    }
    EXPECT_FALSE(enabledWithSystemStyle) << "disabled with its edit";
    EXPECT_FALSE(hiddenWithEdit);
    EXPECT_TRUE(shownAgain);
}

// The file dialog the browse button opens, cancelled as the user's Escape does: the edit's
// text stays. Each way of asking for it (a click on the button, F4 in the edit) opens it once.
TEST(EditBrowsePlus, ClickAndF4OpenTheFileDialogAndCancelKeepsTheText) {
    HWND top = CreateWindowExW(0, L"STATIC", L"Browse test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 120,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"C:\\kept.wav", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10,
                                10, 300, 21, top, nullptr, GetModuleHandleW(nullptr), nullptr);
    nsHalden::CEditBrowsePlus browse;
    ASSERT_TRUE(browse.Subclass(edit));
    browse.EnableFileBrowseButton(IDS_FILTER_WAVE, IDI_BROWSE);
    ASSERT_NE(browse.BrowseButton(), nullptr);
    EXPECT_EQ(GetParent(browse.BrowseButton()), top);

    static int opened = 0;
    opened = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM) {
                if (IsWindowVisible(hwnd) && Window::TextOf(hwnd) == L"Open") {
                    ++opened;
                    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                }
                return TRUE;
            },
            0);
    });
    SendMessageW(browse.BrowseButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(opened, 1) << "a click opens the file dialog";
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
    EXPECT_EQ(opened, 2) << "F4 opens it too";
    EnableWindow(edit, FALSE);
    EXPECT_FALSE(IsWindowEnabled(browse.BrowseButton()));
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
    EXPECT_EQ(opened, 2) << "not while the edit is disabled";
    KillTimer(nullptr, timer);
    EXPECT_EQ(browse.Text(), L"C:\\kept.wav");
    DestroyWindow(top);
}

TEST(EditBrowsePlus, FilterTextBecomesTheFileDialogsList) {
    EXPECT_EQ(nsHalden::CEditBrowsePlus::FilterFromText(L"Wave Files|*.wav||"),
              std::wstring(L"Wave Files\0*.wav\0\0\0", 19));
    EXPECT_EQ(nsHalden::CEditBrowsePlus::FilterFromText(L"A|*.a"), std::wstring(L"A\0*.a\0", 6));
}

}  // namespace
