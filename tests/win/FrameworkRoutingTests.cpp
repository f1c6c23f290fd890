// Routing faults every window would inherit: exceptions stopped at each entry point, handlers
// that run the default processing first, F1 in any dialog, and the handle and COM owners.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <stdexcept>
#include <vector>

#include "FrameworkTestIds.h"
#include "LoopScript.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Sheet.h"
#include "HelpMessage.h"

using namespace rw;
using namespace rw::test;

namespace {

// Throws from its handler of WM_GETTEXTLENGTH, whose default result is the text's length.
template <typename Base>
class Throwing : public Base {
public:
    using Base::Base;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETTEXTLENGTH) throw std::runtime_error("handler failed");
        return Base::Route(message, wParam, lParam);
    }
};

LRESULT TextLength(HWND hwnd) {
    return SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
}

TEST(FrameworkBarrier, ExceptionsStopAtEveryProcedureWithTheDefaultResult) {
    // A subclassed control.
    Throwing<Window> control;
    HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(control.Subclass(edit));
    LRESULT length = -1;
    EXPECT_NO_THROW(length = TextLength(edit));
    EXPECT_EQ(length, 3);
    DestroyWindow(edit);
    EXPECT_EQ(control.hwnd(), nullptr) << "the link still ends with the window";

    // A dialog ("Buttons").
    Throwing<Dialog> dialog(IDD_TEST_BUTTONS);
    ASSERT_TRUE(dialog.Create());
    EXPECT_NO_THROW(length = TextLength(dialog.hwnd()));
    EXPECT_EQ(length, 7);
    dialog.Destroy();
    EXPECT_EQ(dialog.hwnd(), nullptr);

    // A property page, asked while its sheet runs.
    Throwing<PropertyPage> page(IDD_TEST_SETTINGS_PAGE);
    Sheet sheet(L"Barrier");
    sheet.AddPage(page);
    bool asked = false;
    LoopScript script({
        [&] {
            asked = true;
            LRESULT pageLength = -1;
            EXPECT_NO_THROW(pageLength = TextLength(page.hwnd()));
            EXPECT_EQ(pageLength, static_cast<LRESULT>(Window::TextOf(page.hwnd()).size()));
        },
        [&] { sheet.PressButton(PSBTN_CANCEL); },
    });
    EXPECT_EQ(sheet.RunModal(), IDCANCEL);
    EXPECT_TRUE(asked);
}

// Erases with the default first (the background colour) and then draws a blue corner over
// it; its WM_CTLCOLORDLG can send one identical WM_ERASEBKGND while the outer one runs.
class DrawingDialog : public Dialog {
public:
    DrawingDialog() : Dialog(IDD_TEST_BUTTONS) {}
    int erases = 0;
    bool nestOnce = false;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam), lParam);
            case WM_CTLCOLORDLG:
                if (std::exchange(nestOnce, false)) Send(WM_ERASEBKGND, wParam, 0);
                break;
        }
        return Dialog::Route(message, wParam, lParam);
    }

private:
    LRESULT OnEraseBackground(HDC dc, LPARAM lParam) {
        ++erases;
        const LRESULT result = DefaultProcessing(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), lParam);
        const RECT corner{0, 0, 10, 10};
        BrushOwner blue(CreateSolidBrush(RGB(0, 0, 255)));
        FillRect(dc, &corner, blue.get());
        return result;
    }
};

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    WindowDC dc(hwnd);
    return GetPixel(dc.dc(), x, y);
}

TEST(FrameworkDefaultFirst, HandlerRunsTheDefaultThenDrawsAndNestedCopiesStillArrive) {
    DrawingDialog dialog;
    dialog.SetBackgroundColor(RGB(0, 128, 0));
    ASSERT_TRUE(dialog.Create());
    SetWindowPos(dialog.hwnd(), HWND_TOP, 50, 50, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    dialog.erases = 0;

    RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_EQ(dialog.erases, 1) << "the default's own call back into the dialog is not routed again";
    EXPECT_EQ(ClientPixel(dialog.hwnd(), 5, 5), RGB(0, 0, 255)) << "drawn after the default";
    EXPECT_EQ(ClientPixel(dialog.hwnd(), 30, 5), RGB(0, 128, 0)) << "the default erased with the colour";

    // The default erase asks for the dialog's brush, and that handler sends the same message
    // with the same parameters: it is a message of its own and reaches the handler.
    dialog.nestOnce = true;
    RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_FALSE(dialog.nestOnce);
    EXPECT_EQ(dialog.erases, 3);
    dialog.Destroy();
}

class HelpRecorder : public Application {
public:
    std::vector<std::pair<DWORD_PTR, UINT>> requests;
    void ShowHelp(DWORD_PTR data, UINT command) override { requests.emplace_back(data, command); }
};

TEST(FrameworkHelp, AnyDialogAsksTheApplicationForHelp) {
    HelpRecorder app;
    Dialog dialog(IDD_TEST_BUTTONS);
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(SendHelp(dialog.hwnd(), 33), TRUE);
    EXPECT_EQ(dialog.Send(WM_HELP, 0, 0), TRUE);
    // A control without an id of its own has its dialog's.
    dialog.SetContextHelpId(44);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = dialog.Item(IDOK);
    dialog.Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    {
        // Ctrl held: the default handling, not the application's help.
        BYTE state[256], held[256];
        GetKeyboardState(state);
        memcpy(held, state, sizeof held);
        held[VK_CONTROL] |= 0x80;
        SetKeyboardState(held);
        SendHelp(dialog.hwnd(), 33);
        SetKeyboardState(state);
    }
    dialog.Destroy();
    using Request = std::pair<DWORD_PTR, UINT>;
    EXPECT_EQ(app.requests, (std::vector<Request>{{33, HELP_CONTEXT}, {0, HELP_CONTENTS}, {44, HELP_CONTEXT}}));
}

// Integer fields with ranges: rest minutes 3 … 30 and a count -5 … 100000.
class RangeDialog : public Dialog {
public:
    RangeDialog() : Dialog(IDD_TEST_EXCHANGE) {}
    std::wstring m_strText = L"Ann";
    std::int16_t m_nRest = 5;
    std::int32_t m_nCount = 7;
    std::vector<ExchangeFailure> failures;
    bool hooked = true;

protected:
    void ExchangeData(DataExchange& dx) override {
        dx.Text(IDC_TEST_TEXT, m_strText);
        dx.Int16(IDC_TEST_SMALL, m_nRest, 3, 30);
        dx.Int32(IDC_TEST_LARGE, m_nCount, -5, 100000);
    }
    void OnExchangeFailure(const ExchangeFailure& failure) override {
        if (!hooked) return Dialog::OnExchangeFailure(failure);
        failures.push_back(failure);
    }
};

TEST(FrameworkExchangeRange, OutOfRangeIsRefusedThroughTheHookWithFocusAndNoMemberChanges) {
    RangeDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.hwnd());
    struct Case {
        const wchar_t* rest;
        const wchar_t* count;
        int control;  // refused, or 0
        const wchar_t* prompt;
    };
    const Case cases[] = {
        {L"3", L"-5", 0, nullptr},
        {L"30", L"100000", 0, nullptr},
        {L"2", L"0", IDC_TEST_SMALL, L"Enter an integer between 3 and 30."},
        {L"31", L"0", IDC_TEST_SMALL, L"Enter an integer between 3 and 30."},
        {L"40000", L"0", IDC_TEST_SMALL, L"Enter an integer."},
        {L"10", L"-6", IDC_TEST_LARGE, L"Enter an integer between -5 and 100000."},
        {L"10", L"x", IDC_TEST_LARGE, L"Enter an integer."},
    };
    for (const Case& c : cases) {
        dialog.m_strText = L"Ann";
        dialog.m_nRest = 5;
        dialog.m_nCount = 7;
        dialog.failures.clear();
        dialog.UpdateData(Direction::ToControls);
        SetDlgItemTextW(dialog.hwnd(), IDC_TEST_TEXT, L"Changed");
        SetDlgItemTextW(dialog.hwnd(), IDC_TEST_SMALL, c.rest);
        SetDlgItemTextW(dialog.hwnd(), IDC_TEST_LARGE, c.count);
        SetFocus(dialog.Item(IDC_TEST_TEXT));
        const bool read = dialog.UpdateData(Direction::FromControls);
        const std::string label = testing::PrintToString(std::wstring(c.rest) + L" " + c.count);
        if (!c.control) {
            EXPECT_TRUE(read) << label;
            EXPECT_EQ(dialog.m_nRest, _wtoi(c.rest)) << label;
            EXPECT_EQ(dialog.m_nCount, _wtoi(c.count)) << label;
            EXPECT_TRUE(dialog.failures.empty()) << label;
            continue;
        }
        EXPECT_FALSE(read) << label;
        ASSERT_EQ(dialog.failures.size(), 1u) << label;
        EXPECT_EQ(dialog.failures[0].control, c.control) << label;
        EXPECT_EQ(dialog.failures[0].prompt, c.prompt) << label;
        EXPECT_EQ(GetFocus(), dialog.Item(c.control)) << label;
        EXPECT_EQ(dialog.m_strText, L"Ann") << label;
        EXPECT_EQ(dialog.m_nRest, 5) << label;
        EXPECT_EQ(dialog.m_nCount, 7) << label;
    }
    // Without a hook of the class's own, the prompt is a message box.
    dialog.hooked = false;
    SetDlgItemTextW(dialog.hwnd(), IDC_TEST_SMALL, L"99");
    LoopScript script({});
    EXPECT_FALSE(dialog.UpdateData(Direction::FromControls));
    EXPECT_EQ(script.messageBoxes(), std::vector<std::wstring>{L"Enter an integer between 3 and 30."});
    dialog.Destroy();
}

// A COM object that counts its references.
class Counted : public IUnknown {
public:
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(FrameworkOwners, ComPointersMemoryDcsAndInternetHandles) {
    Counted object;
    {
        ComPtr<IUnknown> first(&object);
        ComPtr<IUnknown> second(std::move(first));
        EXPECT_EQ(first.get(), nullptr);
        EXPECT_EQ(object.references, 1u) << "moving takes no reference";
        object.AddRef();
        ComPtr<IUnknown> third;
        *third.receive() = &object;
        EXPECT_EQ(object.references, 2u);
        third.reset();
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u) << "the last owner released it";

    HDC dc = CreateCompatibleDC(nullptr);
    {
        MemoryDCOwner owner(dc);
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(dc), 0u);

    HINTERNET session = InternetOpenW(L"Restwell test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    {
        InternetHandleOwner owner(session);
        InternetHandleOwner moved(std::move(owner));
    }
    EXPECT_FALSE(InternetCloseHandle(session)) << "already closed by its owner";
}

}  // namespace
