// Opening and closing dialogs that create and own GDI and USER objects, 20 times, leaves the
// process with as many of those objects as before: an object lost per dialog shows as 20 more.
#include <gtest/gtest.h>

#include "FrameworkTestIds.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "res/resource.h"

using namespace rw;

namespace {

struct GuiCounts {
    DWORD gdi;
    DWORD user;
    bool operator==(const GuiCounts& other) const { return gdi == other.gdi && user == other.user; }
};

// Wine does not implement GetGuiResources (it returns 0); there the objects are counted by
// asking every possible handle value what it is. Both kinds of handle accept their 16-bit
// index without the generation bits.
DWORD CountGdiByHandle() {
    DWORD count = 0;
    for (ULONG_PTR h = 1; h < 0x10000; ++h) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h))) ++count;
    }
    return count;
}

// Windows are counted from the system's lists (every top-level window, its descendants and the
// message-only windows): asking each handle value whether it is a window costs Wine a server
// round trip per value. Menus and icons are asked per handle value.
BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindowTree(HWND hwnd, LPARAM count) {
    CountOwnWindow(hwnd, count);
    EnumChildWindows(hwnd, CountOwnWindow, count);
    return TRUE;
}

DWORD CountUserByHandle() {
    DWORD count = 0;
    EnumWindows(CountOwnWindowTree, reinterpret_cast<LPARAM>(&count));
    for (HWND hwnd = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
         hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr)) {
        CountOwnWindowTree(hwnd, reinterpret_cast<LPARAM>(&count));
    }
    for (ULONG_PTR h = 1; h < 0x10000; ++h) {
        if (IsMenu(reinterpret_cast<HMENU>(h))) {
            ++count;
        } else {
            ICONINFO info{};
            if (GetIconInfo(reinterpret_cast<HICON>(h), &info)) {
                ++count;
                if (info.hbmColor) DeleteObject(info.hbmColor);
                if (info.hbmMask) DeleteObject(info.hbmMask);
            }
        }
    }
    return count;
}

GuiCounts Count() {
    GuiCounts counts{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                     GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (counts.gdi == 0) counts.gdi = CountGdiByHandle();
    if (counts.user == 0) counts.user = CountUserByHandle();
    return counts;
}

// A dialog with a bit of everything the windows will own: a background brush, a font on a
// control, an icon, a menu, and painting with a pen and the font selected.
class OwningDialog : public Dialog {
public:
    OwningDialog() : Dialog(IDD_TEST_LEAK) {}
    bool closeAtOnce = false;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_PAINT: OnPaint(); return 0;
        }
        return Dialog::Route(message, wParam, lParam);
    }
    InitFocus OnInitDialog() override {
        SetBackgroundColor(RGB(187, 221, 255));
        LOGFONTW description{};
        GetObjectW(reinterpret_cast<HFONT>(Send(WM_GETFONT)), sizeof description, &description);
        description.lfWeight = FW_BOLD;
        font_.reset(CreateFontIndirectW(&description));
        SendMessageW(Item(IDC_TEST_NAME), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        icon_.reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, 0)));
        SendMessageW(Item(IDC_TEST_LEAK_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
        menu_.reset(CreatePopupMenu());
        AppendMenuW(menu_.get(), MF_STRING, 1, L"Item");
        pen_.reset(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        if (closeAtOnce) Post(WM_COMMAND, IDOK);
        return Dialog::OnInitDialog();
    }

private:
    void OnPaint() {
        PaintGuard paint(hwnd());
        SelectionGuard pen(paint.dc(), pen_.get());
        SelectionGuard font(paint.dc(), font_.get());
        MoveToEx(paint.dc(), 0, 0, nullptr);
        LineTo(paint.dc(), 50, 50);
        TextOutW(paint.dc(), 5, 60, L"x", 1);
        WindowDC screen(nullptr);
        GetDeviceCaps(screen.dc(), LOGPIXELSY);
    }

    FontOwner font_;
    IconOwner icon_;
    MenuOwner menu_;
    PenOwner pen_;
};

void OpenAndCloseModeless() {
    OwningDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    UpdateWindow(dialog.hwnd());
    dialog.Destroy();
}

void OpenAndCloseModal() {
    OwningDialog dialog;
    dialog.closeAtOnce = true;
    ASSERT_EQ(dialog.RunModal(), IDOK);
}

TEST(FrameworkLeaks, TwentyDialogsLeaveNoGdiOrUserObjects) {
    // The first round creates what the system keeps for the rest of the process.
    OpenAndCloseModeless();
    OpenAndCloseModal();
    const GuiCounts before = Count();
    for (int i = 0; i < 20; ++i) {
        OpenAndCloseModeless();
        OpenAndCloseModal();
    }
    const GuiCounts after = Count();
    EXPECT_GT(before.gdi, 0u);
    EXPECT_GT(before.user, 0u);
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    EXPECT_EQ(after.user, before.user) << "USER objects";
}

}  // namespace
