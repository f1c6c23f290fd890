// The dialog base against real dialogs: how a modal dialog ends, dialog navigation by the
// application's loop, data exchange in both directions and its refusal of bad integers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "FrameworkTestIds.h"
#include "LoopScript.h"
#include "app/RestwellApp.h"
#include "framework/Application.h"
#include "framework/Dialog.h"

using namespace rw;
using namespace rw::test;

namespace {

class ButtonsDialog : public Dialog {
public:
    ButtonsDialog() : Dialog(IDD_TEST_BUTTONS) {}
    std::wstring m_strName = L"Initial";
    int initCount = 0;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case IDC_TEST_LATER: OnCommandLater(); return 0;
                }
                break;
        }
        return Dialog::Route(message, wParam, lParam);
    }
    InitFocus OnInitDialog() override {
        ++initCount;
        return Dialog::OnInitDialog();
    }
    void ExchangeData(DataExchange& dx) override { dx.Text(IDC_TEST_NAME, m_strName); }

private:
    void OnCommandLater() { End(IDC_TEST_LATER); }
};

TEST(FrameworkDialog, ModalDialogEndsWithTheButtonClicked) {
    for (const int button : {IDOK, IDCANCEL, IDC_TEST_LATER}) {
        ButtonsDialog dialog;
        std::wstring shownName;
        LoopScript script({
            [&] { shownName = dialog.ItemText(IDC_TEST_NAME); },
            [&] { SetDlgItemTextW(dialog.hwnd(), IDC_TEST_NAME, L"Typed"); },
            [&] { SendMessageW(dialog.Item(button), BM_CLICK, 0, 0); },
        });
        EXPECT_EQ(dialog.RunModal(), button);
        EXPECT_FALSE(script.timedOut());
        EXPECT_EQ(dialog.initCount, 1);
        EXPECT_EQ(shownName, L"Initial") << "the initialisation writes the members into the controls";
        // Only OK reads the controls back.
        EXPECT_EQ(dialog.m_strName, button == IDOK ? L"Typed" : L"Initial") << button;
        EXPECT_EQ(dialog.hwnd(), nullptr) << "the link to the window ends with the window";
    }
}

class TabDialog : public Dialog {
public:
    TabDialog() : Dialog(IDD_TEST_TAB) {}
    static constexpr UINT kRecord = WM_APP + 1;
    std::vector<int> focusSeen;
    int recordCount = 0;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case kRecord: OnRecord(wParam); return 0;
        }
        return Dialog::Route(message, wParam, lParam);
    }

private:
    // Notes where the focus is; then either tabs on (wParam 1) or ends the loop.
    void OnRecord(WPARAM tabAgain) {
        ++recordCount;
        focusSeen.push_back(GetDlgCtrlID(GetFocus()));
        if (tabAgain) {
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
            Post(kRecord, 0);
        } else {
            PostQuitMessage(7);
        }
    }
};

class LoopApplication : public Application {
public:
    int pretranslated = 0;
    UINT takes = 0;  // a message PreTranslateMessage deals with itself
    bool PreTranslateMessage(MSG& message) override {
        ++pretranslated;
        return takes != 0 && message.message == takes;
    }
};

TEST(FrameworkDialog, ApplicationLoopNavigatesTheMainWindowWithTab) {
    LoopApplication app;
    TabDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.hwnd());
    SetFocus(dialog.Item(IDC_TEST_FIRST));
    ASSERT_EQ(GetFocus(), dialog.Item(IDC_TEST_FIRST));
    app.SetMainWindow(&dialog);

    PostMessageW(dialog.Item(IDC_TEST_FIRST), WM_KEYDOWN, VK_TAB, 0);
    dialog.Post(TabDialog::kRecord, 1);
    EXPECT_EQ(app.RunMessageLoop(), 7);
    // The static text between the first and second field is no tab stop.
    EXPECT_EQ(dialog.focusSeen, (std::vector<int>{IDC_TEST_SECOND, IDC_TEST_THIRD}));
    EXPECT_EQ(app.pretranslated, 0) << "the dialog took every message of its own windows";

    // A message for no window is not the dialog's: it reaches the hook.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 5, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(app.RunMessageLoop(), 0);
    EXPECT_EQ(app.pretranslated, 1);
    dialog.Destroy();
}

TEST(FrameworkDialog, OrdinaryLoopHonoursPreTranslateAndDispatchesWithoutMainWindow) {
    LoopApplication app;
    TabDialog dialog;
    ASSERT_TRUE(dialog.Create());
    // Taken by PreTranslateMessage: not dispatched.
    app.takes = TabDialog::kRecord;
    dialog.Post(TabDialog::kRecord, 0);  // would end the loop with 7
    PostQuitMessage(3);
    EXPECT_EQ(app.RunMessageLoop(), 3);
    EXPECT_EQ(dialog.recordCount, 0);
    // Without a main window every other message is dispatched all the same.
    app.takes = 0;
    dialog.Post(TabDialog::kRecord, 0);
    PostQuitMessage(5);  // overtaken by the handler's 7 when the message is dispatched
    EXPECT_EQ(app.RunMessageLoop(), 7);
    EXPECT_EQ(dialog.recordCount, 1);
    EXPECT_EQ(app.pretranslated, 2);
    dialog.Destroy();
}

TEST(FrameworkDialog, ProgramLoopDropsMessagesWithoutMainWindow) {
    CRestwellApp app;
    TabDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.Post(TabDialog::kRecord, 0);  // would end the loop with 7
    PostQuitMessage(3);
    EXPECT_EQ(app.RunMessageLoop(), 3);
    EXPECT_EQ(dialog.recordCount, 0);
    // With the main window its messages arrive.
    app.SetMainWindow(&dialog);
    dialog.Post(TabDialog::kRecord, 0);
    EXPECT_EQ(app.RunMessageLoop(), 7);
    EXPECT_EQ(dialog.recordCount, 1);
    app.SetMainWindow(nullptr);
    dialog.Destroy();
}

// A control wrapper that sees the messages of the control it subclasses.
class CountingEdit : public Window {
public:
    int setTextCount = 0;

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) ++setTextCount;
        return Window::Route(message, wParam, lParam);
    }
};

class ExchangeDialog : public Dialog {
public:
    ExchangeDialog() : Dialog(IDD_TEST_EXCHANGE) {}
    std::wstring m_strText = L"Ann";
    std::int16_t m_nSmall = -123;
    std::int32_t m_nLarge = 2000000000;
    int m_nTristate = 2;
    bool m_bFlag = true;
    int m_nChoice = 2;
    std::int64_t m_timeAt = 1700000000;
    CountingEdit m_editText;

protected:
    void ExchangeData(DataExchange& dx) override {
        dx.Control(IDC_TEST_TEXT, m_editText);
        dx.Text(IDC_TEST_TEXT, m_strText);
        dx.Int16(IDC_TEST_SMALL, m_nSmall);
        dx.Int32(IDC_TEST_LARGE, m_nLarge);
        dx.Check(IDC_TEST_TRISTATE, m_nTristate);
        dx.Check(IDC_TEST_FLAG, m_bFlag);
        dx.Radio(IDC_TEST_RADIO_A, m_nChoice);
        dx.DateTime(IDC_TEST_PICKER, m_timeAt);
    }
};

class FrameworkExchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create());
        ShowWindow(dialog.hwnd(), SW_SHOW);
        SetForegroundWindow(dialog.hwnd());
    }
    void TearDown() override { dialog.Destroy(); }
    LRESULT CheckState(int id) const { return SendMessageW(dialog.Item(id), BM_GETCHECK, 0, 0); }
    // The picker's value as a calendar time, or -1 for "no date".
    std::int64_t PickerTime() const {
        SYSTEMTIME local{}, utc{};
        if (SendMessageW(dialog.Item(IDC_TEST_PICKER), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local)) !=
            GDT_VALID) {
            return -1;
        }
        FILETIME file{};
        TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
        SystemTimeToFileTime(&utc, &file);
        const auto units = (static_cast<std::uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
        return static_cast<std::int64_t>(units / 10'000'000) - 11'644'473'600;
    }
    void SetPicker(std::int64_t time) const {
        const auto units = static_cast<std::uint64_t>(time + 11'644'473'600) * 10'000'000;
        FILETIME file{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
        SYSTEMTIME utc{}, local{};
        FileTimeToSystemTime(&file, &utc);
        SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
        SendMessageW(dialog.Item(IDC_TEST_PICKER), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
    }
    void SetText(int id, const wchar_t* text) const { SetDlgItemTextW(dialog.hwnd(), id, text); }
    ExchangeDialog dialog;
};

TEST_F(FrameworkExchange, MembersIntoTheControls) {
    EXPECT_EQ(dialog.m_editText.hwnd(), dialog.Item(IDC_TEST_TEXT)) << "Control binds the wrapper";
    EXPECT_EQ(dialog.ItemText(IDC_TEST_TEXT), L"Ann");
    EXPECT_EQ(dialog.ItemText(IDC_TEST_SMALL), L"-123");
    EXPECT_EQ(dialog.ItemText(IDC_TEST_LARGE), L"2000000000");
    EXPECT_EQ(CheckState(IDC_TEST_TRISTATE), BST_INDETERMINATE);
    EXPECT_EQ(CheckState(IDC_TEST_FLAG), BST_CHECKED);
    // Index 2 is C: the static text inside the group (not a group start) is no radio button.
    EXPECT_EQ(CheckState(IDC_TEST_RADIO_A), BST_UNCHECKED);
    EXPECT_EQ(CheckState(IDC_TEST_RADIO_B), BST_UNCHECKED);
    EXPECT_EQ(CheckState(IDC_TEST_RADIO_C), BST_CHECKED);
    EXPECT_EQ(PickerTime(), 1700000000);

    // Writing the same members again leaves texts that did not change alone.
    const int setTexts = dialog.m_editText.setTextCount;
    dialog.UpdateData(Direction::ToControls);
    EXPECT_EQ(dialog.m_editText.setTextCount, setTexts);
    dialog.m_strText = L"Bob";
    dialog.UpdateData(Direction::ToControls);
    EXPECT_EQ(dialog.m_editText.setTextCount, setTexts + 1);
    EXPECT_EQ(dialog.ItemText(IDC_TEST_TEXT), L"Bob");
}

TEST_F(FrameworkExchange, ControlsIntoTheMembers) {
    SetText(IDC_TEST_TEXT, L"Zoë & co");
    SetText(IDC_TEST_SMALL, L"32767");
    SetText(IDC_TEST_LARGE, L"-2147483648");
    SendMessageW(dialog.Item(IDC_TEST_TRISTATE), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog.Item(IDC_TEST_FLAG), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(dialog.Item(IDC_TEST_RADIO_C), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(dialog.Item(IDC_TEST_RADIO_A), BM_SETCHECK, BST_CHECKED, 0);
    SetPicker(1600000000);

    ASSERT_TRUE(dialog.UpdateData(Direction::FromControls));
    EXPECT_EQ(dialog.m_strText, L"Zoë & co");
    EXPECT_EQ(dialog.m_nSmall, 32767);
    EXPECT_EQ(dialog.m_nLarge, INT32_MIN);
    EXPECT_EQ(dialog.m_nTristate, 1);
    EXPECT_FALSE(dialog.m_bFlag);
    EXPECT_EQ(dialog.m_nChoice, 0);
    EXPECT_EQ(dialog.m_timeAt, 1600000000);

    // No button of the group checked, and a picker without a date.
    SendMessageW(dialog.Item(IDC_TEST_RADIO_A), BM_SETCHECK, BST_UNCHECKED, 0);
    SYSTEMTIME none{};
    SendMessageW(dialog.Item(IDC_TEST_PICKER), DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&none));
    ASSERT_TRUE(dialog.UpdateData(Direction::FromControls));
    EXPECT_EQ(dialog.m_nChoice, -1);
    EXPECT_EQ(dialog.m_timeAt, -1);
    // And back: "no date" clears the picker, -1 checks no radio button.
    dialog.m_timeAt = 1700000000;
    dialog.UpdateData(Direction::ToControls);
    dialog.m_timeAt = -1;
    dialog.m_nChoice = 1;
    dialog.UpdateData(Direction::ToControls);
    EXPECT_EQ(PickerTime(), -1);
    EXPECT_EQ(CheckState(IDC_TEST_RADIO_B), BST_CHECKED);
    dialog.m_nChoice = -1;
    dialog.UpdateData(Direction::ToControls);
    EXPECT_EQ(CheckState(IDC_TEST_RADIO_B), BST_UNCHECKED);
}

TEST_F(FrameworkExchange, NonIntegerIsRefusedWithThePromptAndNoMemberChanges) {
    struct Case {
        int id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {IDC_TEST_SMALL, L"12x"}, {IDC_TEST_SMALL, L""},    {IDC_TEST_SMALL, L"40000"},
        {IDC_TEST_LARGE, L"abc"}, {IDC_TEST_LARGE, L"1e3"}, {IDC_TEST_LARGE, L"2147483648"},
    };
    for (const Case& c : cases) {
        dialog.UpdateData(Direction::ToControls);
        // Controls before and after the bad field change as well; none of it may arrive.
        SetText(IDC_TEST_TEXT, L"Changed");
        SendMessageW(dialog.Item(IDC_TEST_FLAG), BM_SETCHECK, BST_UNCHECKED, 0);
        SetText(c.id, c.text);
        SetFocus(dialog.Item(IDC_TEST_TEXT));

        LoopScript script({});
        EXPECT_FALSE(dialog.UpdateData(Direction::FromControls)) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(script.messageBoxes(), std::vector<std::wstring>{L"Enter an integer."});
        EXPECT_EQ(GetFocus(), dialog.Item(c.id)) << "the refused field has the focus";
        EXPECT_EQ(dialog.m_strText, L"Ann");
        EXPECT_TRUE(dialog.m_bFlag);
        EXPECT_EQ(dialog.m_nSmall, -123);
        EXPECT_EQ(dialog.m_nLarge, 2000000000);
    }
}

}  // namespace
