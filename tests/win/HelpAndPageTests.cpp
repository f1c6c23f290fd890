// Help requests end in the application's ShowHelp and open the right address; the kit's
// pages and sheets ask for the topic of the page in front; combo box helpers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "FrameworkTestIds.h"
#include "HelpMessage.h"
#include "LoopScript.h"
#include "app/RestwellApp.h"
#include "core/VendorSite.h"
#include "core/VersionQuad.h"
#include "fakes/RecordingLauncher.h"
#include "kit/PagesPlus.h"
#include "res/resource.h"
#include "platform/win32/MessagePosterWin32.h"
#include "ui/main/Main.h"
#include "ui/wizard/WelcomeWizard.h"

using namespace rw;

using rw::test::RecordingLauncher;

using rw::test::SendHelp;

namespace {

const std::wstring kHelp = std::wstring(rw::VendorBaseAddress()) + L"/products/Restwell/help/?";
const std::wstring kVersion = std::wstring(L"ver=") + rw::kRunningVersionText;

class Help : public ::testing::Test {
protected:
    void SetUp() override { app.webLauncher = &launcher; }
    // Holds Shift, Ctrl or Alt down for this thread while it lives.
    struct HeldKey {
        explicit HeldKey(int key) : key_(key) {
            GetKeyboardState(state_);
            BYTE held[256];
            memcpy(held, state_, sizeof held);
            held[key] |= 0x80;
            SetKeyboardState(held);
        }
        ~HeldKey() { SetKeyboardState(state_); }
        int key_;
        BYTE state_[256];
    };

    CRestwellApp app;
    RecordingLauncher launcher;
};

// Which address each request maps to is checked natively (WebAddress); here only that the
// application's requests reach its launcher, with the version, and that failures are reported.
TEST_F(Help, ShowHelpOpensTheRootOrATopicWithTheVersion) {
    app.ShowHelp(51, HELP_CONTEXT);
    app.ShowHelp(7, 2);  // any other command does nothing
    app.OpenHealthHint(201);
    ASSERT_EQ(launcher.opened.size(), 2u);
    EXPECT_EQ(launcher.opened[0], kHelp + L"topic=51&" + kVersion);
    EXPECT_EQ(launcher.opened[1],
              rw::VendorBaseAddress() + std::wstring(L"/products/Restwell/hints/?id=201&") + kVersion);
    launcher.succeed = false;
    app.ShowHelp(0, HELP_CONTENTS);
    ASSERT_EQ(launcher.reported.size(), 1u);
    // The address without the version and the trailing "?".
    const std::wstring shown = kHelp.substr(0, kHelp.size() - 1);
    ASSERT_GE(launcher.reported[0].size(), shown.size());
    EXPECT_EQ(launcher.reported[0].substr(launcher.reported[0].size() - shown.size()), shown);
}

TEST_F(Help, MainWindowF1WithoutModifiersOnly) {
    CdlgMain main(app, [](HWND window) { return std::make_shared<rw::WindowMessagePoster>(window); });
    ASSERT_TRUE(main.Create());
    EXPECT_EQ(main.ContextHelpId(), 100u);
    EXPECT_EQ(SendHelp(main.hwnd(), 100), TRUE);
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], kHelp + L"topic=100&" + kVersion);
    for (int key : {VK_CONTROL, VK_SHIFT, VK_MENU}) {
        HeldKey held(key);
        SendHelp(main.hwnd(), 100);
    }
    EXPECT_EQ(launcher.opened.size(), 1u);
    SendMessageW(main.hwnd(), WM_HELP, 0, 0);  // no help information: the help root
    ASSERT_EQ(launcher.opened.size(), 2u);
    EXPECT_EQ(launcher.opened[1], kHelp + kVersion);
    // F1 on a control without an id of its own asks for the window's topic.
    HWND button = GetDlgItem(main.hwnd(), IDOK);
    ASSERT_NE(button, nullptr);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = button;
    SendMessageW(main.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(launcher.opened.size(), 3u);
    EXPECT_EQ(launcher.opened[2], kHelp + L"topic=100&" + kVersion);
}

class HelpPage : public nsHalden::CPropertyPagePlus {
public:
    HelpPage() : CPropertyPagePlus(IDD_TEST_SETTINGS_PAGE) { m_nHelpContext = 52; }
};

// Runs its checks while the sheet is up, then cancels it.
class HelpSheet : public nsHalden::CPropertySheetPlus {
public:
    using CPropertySheetPlus::CPropertySheetPlus;
    std::function<void(HelpSheet&)> check;

protected:
    void OnInitDialog() override {
        check(*this);
        PressButton(PSBTN_CANCEL);
    }
};

TEST_F(Help, PagesAndSheetsAskForTheTopicOfThePageInFront) {
    HelpPage page;
    HelpSheet sheet(L"Options");
    sheet.AddPage(page);
    bool checked = false;
    sheet.check = [&](HelpSheet& s) {
        checked = true;
        EXPECT_EQ(GetWindowContextHelpId(page.hwnd()), 52u);
        EXPECT_EQ(SendHelp(page.hwnd(), 52), TRUE);
        {
            // With Shift the page leaves F1 to the default handling, which hands it to the
            // sheet: the sheet answers with the page's own id, not the one in the message.
            HeldKey shift(VK_SHIFT);
            SendHelp(page.hwnd(), 77);
        }
        SendMessageW(s.hwnd(), WM_COMMAND, nsHalden::ID_HELP, 0);
        SendMessageW(s.hwnd(), WM_COMMAND, IDHELP, 0);
    };
    EXPECT_EQ(sheet.RunModal(), IDCANCEL);
    EXPECT_TRUE(checked);
    ASSERT_EQ(launcher.opened.size(), 4u);
    for (const std::wstring& opened : launcher.opened) EXPECT_EQ(opened, kHelp + L"topic=52&" + kVersion);
}

// The welcome and finish pages have no topic of their own: F1 asks for 0x20000 + template.
TEST_F(Help, WelcomePagesAskForTheirTemplatesTopic) {
    auto f1 = [] {
        HWND sheet = GetActiveWindow();
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        SendMessageW(PropSheet_GetCurrentPageHwnd(sheet), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return sheet;
    };
    rw::test::LoopScript script({[&] {
                                     HWND sheet = f1();
                                     ASSERT_NE(sheet, nullptr);
                                     PostMessageW(sheet, PSM_SETCURSEL, 2, 0);  // the finish page
                                 },
                                 [&] { PostMessageW(f1(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }});
    EXPECT_FALSE(RunWelcomeWizard(app.Services(), CPlannedBreakList()));
    ASSERT_EQ(launcher.opened.size(), 2u);
    EXPECT_EQ(launcher.opened[0], kHelp + L"topic=" + std::to_wstring(0x20000 + IDD_WELCOME_START) + L"&" + kVersion);
    EXPECT_EQ(launcher.opened[1], kHelp + L"topic=" + std::to_wstring(0x20000 + IDD_WELCOME_FINISH) + L"&" + kVersion);
}

TEST(PagePlusCombo, AddStringResourceItemAndSelectItemByData) {
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 200, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    using nsHalden::CPropertyPagePlus;
    EXPECT_EQ(CPropertyPagePlus::AddStringResourceItem(IDS_OK, combo, 7), 0);
    EXPECT_EQ(CPropertyPagePlus::AddStringResourceItem(59999, combo, 9), 1);  // a missing string: an empty item
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 7);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 1, 0), 0);
    wchar_t text[16] = L"";
    SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"OK");
    EXPECT_TRUE(CPropertyPagePlus::SelectItemByData(combo, 9));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(CPropertyPagePlus::SelectItemByData(combo, 99));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);  // unchanged
    DestroyWindow(combo);
}

}  // namespace
