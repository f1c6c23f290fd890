// The kit's controls against real Win32 controls, in a hidden window of their own.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "FrameworkTestIds.h"
#include "framework/Dialog.h"
#include "kit/ControlsPlus.h"

using namespace nsHalden;

namespace {

class KitControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadLibraryW(L"riched20.dll"); }
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"STATIC", L"kit", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 60, parent_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND parent_ = nullptr;
};

// How a text is cut into stream pieces is checked natively (KitText); here that the control
// takes a text of several pieces whole through its stream callback.
TEST_F(KitControls, RichEditReceivesALongTextWhole) {
    CRichEditCtrlPlus edit;
    ASSERT_TRUE(edit.Subclass(Child(L"RichEdit20W", L"", ES_MULTILINE, 12)));
    edit.Send(EM_EXLIMITTEXT, 0, 1 << 20);
    std::wstring text;
    for (int i = 0; i < 5000; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
    edit.m_strStreamText = text;
    edit.StreamTextIntoControl();
    EXPECT_TRUE(edit.m_strStreamText.empty());
    EXPECT_EQ(edit.Text(), text);
    // Streaming an empty text leaves an empty control.
    edit.m_strStreamText.clear();
    edit.StreamTextIntoControl();
    EXPECT_EQ(edit.Text(), L"");
}

CHARFORMAT2W SelectionFormat(const CRichEditCtrlPlus& edit) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_LINK | CFM_PROTECTED;
    edit.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

TEST_F(KitControls, ToggledRangeBecomesAProtectedLinkAndBack) {
    CRichEditCtrlPlus edit;
    ASSERT_TRUE(edit.Subclass(Child(L"RichEdit20W", L"", ES_MULTILINE, 12)));
    edit.m_strStreamText = L"Take a break. Click here to learn more...";
    edit.StreamTextIntoControl();
    edit.Send(EM_SETSEL, 14, 41);
    edit.ToggleLinkEffect();
    CHARFORMAT2W format = SelectionFormat(edit);
    EXPECT_EQ(format.dwEffects & (CFE_LINK | CFE_PROTECTED), static_cast<DWORD>(CFE_LINK | CFE_PROTECTED));
    // The text before it is untouched.
    edit.Send(EM_SETSEL, 0, 5);
    EXPECT_EQ(SelectionFormat(edit).dwEffects & (CFE_LINK | CFE_PROTECTED), 0u);
    edit.Send(EM_SETSEL, 14, 41);
    edit.ToggleLinkEffect();
    EXPECT_EQ(SelectionFormat(edit).dwEffects & (CFE_LINK | CFE_PROTECTED), 0u);
    // A selection that is partly a link (neither attribute uniform) becomes a link whole.
    edit.Send(EM_SETSEL, 20, 30);
    edit.ToggleLinkEffect();
    edit.Send(EM_SETSEL, 14, 41);
    edit.ToggleLinkEffect();
    format = SelectionFormat(edit);
    EXPECT_EQ(format.dwEffects & (CFE_LINK | CFE_PROTECTED), static_cast<DWORD>(CFE_LINK | CFE_PROTECTED));
}

TEST_F(KitControls, StaticPlusTooltipCursorAndHitTest) {
    CStaticPlus banner;
    ASSERT_TRUE(banner.Subclass(Child(L"STATIC", L"", SS_OWNERDRAW, 14)));
    banner.SetTooltipText(std::wstring(100, L'w'));
    EXPECT_EQ(banner.TooltipText().size(), 79u);
    ASSERT_TRUE(banner.EnableToolTips());
    EXPECT_EQ(SendMessageW(banner.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);

    NMTTDISPINFOW wide{};
    wide.hdr = {banner.hwnd(), 1, TTN_NEEDTEXTW};
    banner.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&wide));
    EXPECT_EQ(std::wstring(wide.lpszText), std::wstring(79, L'w'));
    NMTTDISPINFOA ansi{};
    ansi.hdr = {banner.hwnd(), 1, TTN_NEEDTEXTA};
    banner.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&ansi));
    EXPECT_EQ(std::string(ansi.lpszText), std::string(79, 'w'));

    EXPECT_EQ(banner.Send(WM_NCHITTEST, 0, 0), HTCLIENT);
    EXPECT_EQ(banner.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(banner.hwnd()), HTCLIENT), FALSE);
    banner.SetCursor(LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(banner.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(banner.hwnd()), HTCLIENT), TRUE);
}

TEST_F(KitControls, MenuButtonCaptionFollowsKeyboardCues) {
    CMFCMenuButtonPlus button;
    ASSERT_TRUE(button.Subclass(Child(L"BUTTON", L"&Suspend", BS_PUSHBUTTON, 13)));
    button.Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL));
    EXPECT_FALSE(button.CuesShown());
    EXPECT_EQ(button.Text(), L"Suspend");
    button.Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL));
    EXPECT_TRUE(button.CuesShown());
    EXPECT_EQ(button.Text(), L"&Suspend");
    // Other elements and actions leave it alone.
    button.Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
    EXPECT_EQ(button.Text(), L"&Suspend");
    button.SetCaption(L"Tom && Jerry");
    button.Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL));
    EXPECT_EQ(button.Text(), L"Tom && Jerry");
    button.SetCaption(L"&Help");
    EXPECT_EQ(button.Text(), L"Help");  // cues are hidden now
}

// Picks the second item of the menu that is open, from inside its modal loop.
void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_DOWN;
    keys[1].ki.wVk = VK_DOWN;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[2].ki.wVk = VK_RETURN;
    keys[3].ki.wVk = VK_RETURN;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &keys[0], sizeof(INPUT));
    SendInput(1, &keys[1], sizeof(INPUT));
    SendInput(1, &keys[0], sizeof(INPUT));
    SendInput(1, &keys[1], sizeof(INPUT));
    SendInput(1, &keys[2], sizeof(INPUT));
    SendInput(1, &keys[3], sizeof(INPUT));
}

class ClickRecorder : public rw::Window {
public:
    int clicks = 0;
    UINT chosen = 0;
    CMFCMenuButtonPlus* button = nullptr;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == 13) {
            ++clicks;
            chosen = button->MenuResult();
            return 0;
        }
        return Window::Route(message, wParam, lParam);
    }
};

TEST_F(KitControls, MenuButtonReportsTheChosenCommand) {
    ShowWindow(parent_, SW_SHOW);
    SetForegroundWindow(parent_);
    ClickRecorder owner;
    ASSERT_TRUE(owner.Subclass(parent_));
    CMFCMenuButtonPlus button;
    owner.button = &button;
    ASSERT_TRUE(button.Subclass(Child(L"BUTTON", L"Suspend", BS_PUSHBUTTON, 13)));
    rw::MenuOwner menu(CreateMenu());
    HMENU items = CreatePopupMenu();
    AppendMenuW(items, MF_STRING, 32785, L"Suspend 15 minutes");
    AppendMenuW(items, MF_STRING, 32786, L"Suspend 30 minutes");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(items), L"Suspend");
    button.SetDropDownMenu(std::move(menu));
    SetFocus(button.hwnd());
    SetTimer(nullptr, 0, 300, ChooseSecondItem);
    button.Send(BM_CLICK);
    EXPECT_EQ(owner.clicks, 1);
    EXPECT_EQ(owner.chosen, 32786u);
}

// Counts the paints of the control over the tab's page area.
class PaintCounter : public rw::Window {
public:
    int paints = 0;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) ++paints;
        return Window::Route(message, wParam, lParam);
    }
};

// The parent's class: its background brush paints it red.
LRESULT CALLBACK RedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

TEST(KitTab, PartnerIsRedrawnOncePerPaintAndTheFrameIsDrawn) {
    // A red parent, a framed tab control, and over its page area a dark partner.
    WNDCLASSW wc{};
    wc.lpfnWndProc = RedWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RwTestRed";
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, L"RwTestRed", L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    CTabCtrlPlus tab;
    ASSERT_TRUE(tab.Subclass(CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 260,
                                             160, parent, nullptr, nullptr, nullptr)));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Tip");
    tab.Send(TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    PaintCounter partner;
    ASSERT_TRUE(partner.Subclass(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 40, 60, 100,
                                                 60, parent, nullptr, nullptr, nullptr)));
    tab.SetPartner(partner.hwnd());
    // The whole parent again: red background, then the tab over it, then the partner.
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const COLORREF partnerColour = PixelOf(parent, 90, 90);
    ASSERT_NE(partnerColour, PixelOf(parent, 200, 100)) << "the partner and the tab's page look alike";
    partner.paints = 0;

    // The tab paints over the partner (siblings are not clipped); the partner comes back once.
    RedrawWindow(tab.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(partner.paints, 1);
    EXPECT_EQ(PixelOf(parent, 90, 90), partnerColour) << "the partner is drawn over the tab's page";
    // The tab's frame (WS_BORDER, drawn by its default non-client painting) covers the red.
    EXPECT_NE(PixelOf(parent, 10, 100), RGB(255, 0, 0)) << "the left edge of the tab's frame";
    EXPECT_NE(PixelOf(parent, 269, 100), RGB(255, 0, 0)) << "the right edge of the tab's frame";

    DestroyWindow(parent);
    DeleteObject(wc.hbrBackground);
    UnregisterClassW(L"RwTestRed", GetModuleHandleW(nullptr));
}

TEST_F(KitControls, StaticPlusTooltipGoesWithTheControl) {
    // The static destroyed on its own takes its tooltip along.
    CStaticPlus alone;
    ASSERT_TRUE(alone.Subclass(Child(L"STATIC", L"", SS_BLACKRECT, 14)));
    ASSERT_TRUE(alone.EnableToolTips());
    HWND tip = alone.Tooltip();
    DestroyWindow(alone.hwnd());
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(alone.Tooltip(), nullptr);

    // The dialog destroyed as a whole destroys the tooltip itself (it owns the pop-up): the
    // static lets go of the dead handle instead of destroying it again later.
    CStaticPlus banner;
    ASSERT_TRUE(banner.Subclass(Child(L"STATIC", L"", SS_BLACKRECT, 15)));
    ASSERT_TRUE(banner.EnableToolTips());
    tip = banner.Tooltip();
    EXPECT_EQ(GetWindow(tip, GW_OWNER), parent_);
    DestroyWindow(parent_);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(banner.Tooltip(), nullptr);
}

// A dialog that binds kit controls through data exchange only.
class BindingDialog : public rw::Dialog {
public:
    BindingDialog() : Dialog(IDD_TEST_KIT) {}
    CStaticPlus banner;
    CMFCMenuButtonPlus button;

protected:
    void ExchangeData(rw::DataExchange& dx) override {
        dx.Control(IDC_TEST_BANNER, banner);
        dx.Control(IDC_TEST_MENU, button);
    }
};

TEST(KitBinding, ControlsBoundByDataExchangeGetTheirSetUp) {
    BindingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.button.FullCaption(), L"&Suspend");
    EXPECT_EQ(dialog.button.PlainCaption(), L"Suspend");
    // The tooltip covers the static's whole client area, kept when it was bound.
    ASSERT_TRUE(dialog.banner.EnableToolTips());
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog.banner.hwnd();
    tool.uId = 1;
    ASSERT_TRUE(SendMessageW(dialog.banner.Tooltip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT client{};
    GetClientRect(dialog.banner.hwnd(), &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));
    EXPECT_FALSE(IsRectEmpty(&client));
    dialog.Destroy();
}

}  // namespace
