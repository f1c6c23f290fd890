// The menu button in a dialog, driven with real mouse clicks and keys: what the owner is told
// for a chosen item, a plain click, and a menu dismissed; the options of the alert pop-up's
// button (default click, no right arrow, not staying pressed).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "FrameworkTestIds.h"
#include "InputScript.h"
#include "framework/Dialog.h"
#include "kit/ControlsPlus.h"

using namespace rw::test;
using nsHalden::CMFCMenuButtonPlus;

namespace {

constexpr UINT kFirst = 32785;
constexpr UINT kSecond = 32786;

// The button, counting how often its menu opened and whether it showed pressed meanwhile.
class WatchedMenuButton : public CMFCMenuButtonPlus {
public:
    int menusOpened = 0;
    bool pressedInMenu = false;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ENTERMENULOOP) {
            ++menusOpened;
            pressedInMenu = (Send(BM_GETSTATE) & BST_PUSHED) != 0;
        }
        return CMFCMenuButtonPlus::Route(message, wParam, lParam);
    }
};

// Records each BN_CLICKED of the button with the item it reports.
class MenuDialog : public rw::Dialog {
public:
    MenuDialog() : Dialog(IDD_TEST_KIT) {}
    WatchedMenuButton button;
    std::vector<UINT> clicks;

protected:
    void ExchangeData(rw::DataExchange& dx) override { dx.Control(IDC_TEST_MENU, button); }
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_TEST_MENU && HIWORD(wParam) == BN_CLICKED) {
            clicks.push_back(button.MenuResult());
            return 0;
        }
        return Dialog::Route(message, wParam, lParam);
    }
};

class KitMenuButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create());
        SetWindowPos(dialog.hwnd(), HWND_TOP, 200, 150, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        BringToFront(dialog.hwnd());
        ASSERT_EQ(GetForegroundWindow(), dialog.hwnd()) << "keys would not reach the dialog";
        rw::MenuOwner menu(CreateMenu());
        HMENU items = CreatePopupMenu();
        AppendMenuW(items, MF_STRING, kFirst, L"Suspend 15 minutes");
        AppendMenuW(items, MF_STRING, kSecond, L"Suspend 30 minutes");
        AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(items), L"Suspend");
        dialog.button.SetDropDownMenu(std::move(menu));
        GetWindowRect(dialog.button.hwnd(), &face);
    }
    void TearDown() override { dialog.Destroy(); }

    // Steps: a click at x on the button (waiting for the menu when one should open).
    InputScript::Step ClickButtonAt(int x) {
        return [this, x] {
            Xdotool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring((face.top + face.bottom) / 2) +
                    L" click 1");
            return true;
        };
    }
    static bool MenuShown() { return ShownMenu() != nullptr; }
    static bool MenuGone() { return ShownMenu() == nullptr; }
    // Clicks the menu's item at index.
    InputScript::Step ChooseItem(int index) {
        return [this, index] {
            RECT item{};
            if (!GetMenuItemRect(nullptr, dialog.button.DropDown(), static_cast<UINT>(index), &item)) return false;
            Xdotool(L"mousemove " + MiddleOf(item) + L" click 1");
            return true;
        };
    }
    // Keys reach the menu only with the pointer on it.
    static InputScript::Step KeyOnMenu(const wchar_t* key) {
        return [key] {
            RECT menu{};
            GetWindowRect(ShownMenu(), &menu);
            Xdotool(L"mousemove " + MiddleOf(menu) + L" key " + key);
            return true;
        };
    }
    InputScript::Step Clicks(size_t count) {
        return [this, count] { return dialog.clicks.size() >= count && MenuGone(); };
    }
    InputScript::Step FocusButtonAndPress(const wchar_t* key) {
        return [this, key] {
            dialog.Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.button.hwnd()), TRUE);
            Xdotool(std::wstring(L"key ") + key);
            return true;
        };
    }

    MenuDialog dialog;
    RECT face{};
};

TEST_F(KitMenuButton, ChosenItemPlainClickAndDismissedMenu) {
    const int middle = (face.left + face.right) / 2;
    // A point of the dialog away from the button and its menu.
    RECT window{};
    GetWindowRect(dialog.hwnd(), &window);
    const std::wstring elsewhere = std::to_wstring(window.right - 20) + L" " + std::to_wstring(window.top + 40);
    InputScript script({
        // Without default click the face opens the menu; the second item is chosen.
        ClickButtonAt(middle),
        MenuShown,
        ChooseItem(1),
        Clicks(1),
        // Enter on the button afterwards is a click without an item, not the last choice again.
        FocusButtonAndPress(L"Return"),
        Clicks(2),
        // Escape, and a click outside, dismiss the menu and report nothing.
        ClickButtonAt(middle),
        MenuShown,
        KeyOnMenu(L"Escape"),
        MenuGone,
        ClickButtonAt(middle),
        MenuShown,
        [&] {
            Xdotool(L"mousemove " + elsewhere + L" click 1");
            return true;
        },
        MenuGone,
        // A last chosen item shows that nothing was still pending from the dismissed menus.
        ClickButtonAt(middle),
        MenuShown,
        ChooseItem(0),
        Clicks(3),
    });
    EXPECT_TRUE(script.Run(dialog.hwnd())) << "stuck at step " << script.stuckStep();
    EXPECT_EQ(dialog.clicks, (std::vector<UINT>{kSecond, 0, kFirst}));
    EXPECT_EQ(dialog.button.menusOpened, 4);
}

TEST_F(KitMenuButton, PopupOptionsDefaultClickNoRightArrowNotStayingPressed) {
    dialog.button.SetDefaultClick(true);
    const int onFace = face.left + 20;
    const int onArrow = face.right - CMFCMenuButtonPlus::kArrowPartWidth / 2;
    RECT menuRect{};
    InputScript script({
        // The face clicks at once, without a menu: no item.
        ClickButtonAt(onFace),
        Clicks(1),
        // The arrow part opens the menu under the button.
        ClickButtonAt(onArrow),
        MenuShown,
        [&] {
            GetWindowRect(ShownMenu(), &menuRect);
            return true;
        },
        ChooseItem(0),
        Clicks(2),
        // Space on the face is a plain click as well.
        FocusButtonAndPress(L"space"),
        Clicks(3),
        // With the right arrow the menu opens beside the button.
        [&] {
            dialog.button.SetRightArrow(true);
            return true;
        },
        ClickButtonAt(onArrow),
        MenuShown,
        [&] {
            RECT beside{};
            GetWindowRect(ShownMenu(), &beside);
            EXPECT_NEAR(beside.left, face.right, 4);
            EXPECT_NEAR(beside.top, face.top, 4);
            return true;
        },
        KeyOnMenu(L"Escape"),
        MenuGone,
    });
    EXPECT_TRUE(script.Run(dialog.hwnd())) << "stuck at step " << script.stuckStep();
    EXPECT_EQ(dialog.clicks, (std::vector<UINT>{0, kFirst, 0}));
    EXPECT_EQ(dialog.button.menusOpened, 2);
    EXPECT_FALSE(dialog.button.pressedInMenu);
    EXPECT_NEAR(menuRect.left, face.left, 4);
    EXPECT_NEAR(menuRect.top, face.bottom, 4);
}

TEST_F(KitMenuButton, StayPressedShowsThePressedButtonWhileTheMenuIsOpen) {
    dialog.button.SetStayPressed(true);
    InputScript script({ClickButtonAt((face.left + face.right) / 2), MenuShown, KeyOnMenu(L"Escape"), MenuGone});
    EXPECT_TRUE(script.Run(dialog.hwnd())) << "stuck at step " << script.stuckStep();
    EXPECT_TRUE(dialog.button.pressedInMenu);
    EXPECT_TRUE(dialog.clicks.empty());
}

}  // namespace
