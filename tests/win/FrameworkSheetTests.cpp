// Property sheets and pages against the real property-sheet control: a Wizard 97 sheet moved
// with Back and Next up to Finish, and a one-page sheet whose Finish button reads "OK".
#include <gtest/gtest.h>

#include "FrameworkTestIds.h"
#include "LoopScript.h"
#include "framework/Sheet.h"
#include "res/resource.h"

using namespace rw;
using namespace rw::test;

namespace {

class TestPage : public PropertyPage {
public:
    TestPage(UINT templateId, DWORD buttons) : PropertyPage(templateId, L"Test wizard"), buttons_(buttons) {}
    std::int32_t m_nValue = 0;
    int activations = 0;
    int finishes = 0;

protected:
    void ExchangeData(DataExchange& dx) override { dx.Int32(IDC_TEST_PAGE_VALUE, m_nValue); }
    bool OnSetActive() override {
        ++activations;
        if (ParentSheet()->IsWizard()) ParentSheet()->SetWizardButtons(buttons_);
        return PropertyPage::OnSetActive();
    }
    bool OnWizardFinish() override {
        ++finishes;
        return PropertyPage::OnWizardFinish();
    }

private:
    DWORD buttons_;
};

struct ButtonState {
    bool visible;
    bool enabled;
};

ButtonState StateOf(HWND sheet, int id) {
    HWND button = GetDlgItem(sheet, id);
    return {button && IsWindowVisible(button) != FALSE, button && IsWindowEnabled(button) != FALSE};
}

void TypeInto(const PropertyPage* page, const wchar_t* text) {
    SetDlgItemTextW(page->hwnd(), IDC_TEST_PAGE_VALUE, text);
}

class FrameworkWizard : public ::testing::Test {
protected:
    FrameworkWizard() {
        sheet.AddFlags(PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_WIZARD);
        sheet.SetWizardBitmaps(IDB_WATERMARK, IDB_HEADER);
        start.AddFlags(PSP_HIDEHEADER);
        finish.AddFlags(PSP_HIDEHEADER);
        middle.SetHeaderTitle(L"Middle title");
        middle.SetHeaderSubtitle(L"The subtitle of the middle page.");
        sheet.AddPage(start);
        sheet.AddPage(middle);
        sheet.AddPage(finish);
    }
    void Press(int button) { sheet.PressButton(button); }
    void Visit() { visited.push_back(sheet.ActiveIndex()); }

    Sheet sheet{L"Test wizard"};
    TestPage start{IDD_TEST_WIZARD_1, PSWIZB_NEXT};
    TestPage middle{IDD_TEST_WIZARD_2, PSWIZB_BACK | PSWIZB_NEXT};
    TestPage finish{IDD_TEST_WIZARD_3, PSWIZB_BACK | PSWIZB_FINISH};
    std::vector<int> visited;
};

TEST_F(FrameworkWizard, BackAndNextUpToFinish) {
    ButtonState backOnStart{}, nextOnStart{}, finishOnStart{}, nextOnLast{}, finishOnLast{};
    std::wstring middleAgain;
    LoopScript script({
        [&] {
            Visit();
            backOnStart = StateOf(sheet.hwnd(), kWizardBackButton);
            nextOnStart = StateOf(sheet.hwnd(), kWizardNextButton);
            finishOnStart = StateOf(sheet.hwnd(), kWizardFinishButton);
            TypeInto(&start, L"11");
            Press(PSBTN_NEXT);
        },
        [&] {
            Visit();
            TypeInto(&middle, L"22");
            Press(PSBTN_NEXT);
        },
        [&] {
            Visit();
            Press(PSBTN_BACK);
        },
        [&] {
            Visit();
            // Shown again: the page wrote its member back into its field.
            middleAgain = Window::TextOf(GetDlgItem(middle.hwnd(), IDC_TEST_PAGE_VALUE));
            Press(PSBTN_NEXT);
        },
        [&] {
            Visit();
            nextOnLast = StateOf(sheet.hwnd(), kWizardNextButton);
            finishOnLast = StateOf(sheet.hwnd(), kWizardFinishButton);
            TypeInto(&finish, L"33");
            Press(PSBTN_FINISH);
        },
    });
    EXPECT_EQ(sheet.RunModal(), ID_WIZFINISH);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 1, 2}));
    EXPECT_TRUE(backOnStart.visible);
    EXPECT_FALSE(backOnStart.enabled);
    EXPECT_TRUE(nextOnStart.visible && nextOnStart.enabled);
    EXPECT_FALSE(finishOnStart.visible);
    EXPECT_FALSE(nextOnLast.visible);
    EXPECT_TRUE(finishOnLast.visible && finishOnLast.enabled);
    EXPECT_EQ(middleAgain, L"22");
    EXPECT_EQ(start.activations, 1);
    EXPECT_EQ(middle.activations, 2);
    EXPECT_EQ(finish.activations, 2);
    EXPECT_EQ(finish.finishes, 1);
    EXPECT_EQ(start.m_nValue, 11);
    EXPECT_EQ(middle.m_nValue, 22);
    EXPECT_EQ(finish.m_nValue, 33) << "Finish reads the last page's controls";
    EXPECT_EQ(sheet.hwnd(), nullptr);
    EXPECT_EQ(start.hwnd(), nullptr);
}

TEST_F(FrameworkWizard, BadFieldKeepsThePageAndCancelEndsTheSheet) {
    LoopScript script({
        [&] {
            Visit();
            TypeInto(&start, L"eleven");
            Press(PSBTN_NEXT);
        },
        [&] {
            Visit();  // still the first page: its field was refused
            TypeInto(&start, L"11");
            Press(PSBTN_NEXT);
        },
        [&] {
            Visit();
            Press(PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(sheet.RunModal(), IDCANCEL);
    EXPECT_EQ(visited, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(script.messageBoxes(), std::vector<std::wstring>{L"Enter an integer."});
    EXPECT_EQ(start.m_nValue, 11);
    EXPECT_EQ(finish.finishes, 0);
}

// A sheet that labels the Finish button of its one page once it exists.
class OnePageSheet : public Sheet {
public:
    using Sheet::Sheet;
    std::wstring finishText;

protected:
    void OnInitDialog() override { SetFinishText(finishText); }
};

TEST(FrameworkSheet, SinglePageSheetReadsOkOnItsFinishButton) {
    OnePageSheet sheet(L"Settings alone");
    sheet.finishText = L"OK";
    sheet.AddFlags(PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_WIZARD);
    sheet.SetWizardBitmaps(IDB_WATERMARK, IDB_HEADER);
    TestPage page(IDD_TEST_SETTINGS_PAGE, PSWIZB_FINISH);
    page.SetHeaderTitle(L"Alone");
    sheet.AddPage(page);

    std::wstring finishText;
    ButtonState finish{}, back{}, next{};
    LoopScript script({
        [&] {
            finishText = Window::TextOf(GetDlgItem(sheet.hwnd(), kWizardFinishButton));
            finish = StateOf(sheet.hwnd(), kWizardFinishButton);
            back = StateOf(sheet.hwnd(), kWizardBackButton);
            next = StateOf(sheet.hwnd(), kWizardNextButton);
            TypeInto(&page, L"5");
            sheet.PressButton(PSBTN_FINISH);
        },
    });
    EXPECT_EQ(sheet.RunModal(), ID_WIZFINISH);
    EXPECT_EQ(finishText, L"OK");
    EXPECT_TRUE(finish.visible && finish.enabled);
    EXPECT_FALSE(back.visible);
    EXPECT_FALSE(next.visible);
    EXPECT_EQ(page.m_nValue, 5);
    EXPECT_EQ(page.finishes, 1);
}

TEST(FrameworkSheet, PropertySheetOkReadsThePagesAndReportsOk) {
    Sheet sheet(L"Options");
    sheet.AddFlags(PSH_NOAPPLYNOW);
    TestPage first(IDD_TEST_SETTINGS_PAGE, 0);
    TestPage second(IDD_TEST_WIZARD_2, 0);
    sheet.AddPage(first);
    sheet.AddPage(second);
    EXPECT_EQ(sheet.PageAt(1), &second);
    EXPECT_EQ(sheet.PageAt(2), nullptr);
    LoopScript script({
        [&] {
            TypeInto(&first, L"-8");
            sheet.PressButton(PSBTN_OK);
        },
    });
    EXPECT_EQ(sheet.RunModal(), IDOK);
    EXPECT_EQ(first.m_nValue, -8);
}

}  // namespace
