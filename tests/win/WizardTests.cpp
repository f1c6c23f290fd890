// The wizard kit, the breaks settings page and the planned-break editor with real controls
// and the real (Wine) registry: the lone page's "OK", typed and arrowed minutes, policy locks,
// reminders switched off, the planned list, and the editor's default time, checks and day names.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "../shared/RegistryTestEnv.h"
#include "LoopScript.h"
#include "NotifyTestSupport.h"
#include "WindowState.h"
#include "framework/Dpi.h"
#include "engine/PlannedBreakList.h"
#include "kit/WizardBase.h"
#include "ui/wizard/BreakTimedEditor.h"
#include "platform/win32/RegistryWin32.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "ui/wizard/WelcomeWizard.h"
#include "ui/wizard/WizardBreaks.h"

using namespace rw;
using namespace rw::test;

namespace {

std::wstring TextOfItem(HWND dialog, int id) {
    return Window::TextOf(GetDlgItem(dialog, id));
}

bool Visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A click on the upper or lower half of an up-down control, as the mouse gives it.
void ClickArrow(HWND arrows, bool upper) {
    RECT r{};
    GetClientRect(arrows, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, upper ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(arrows, WM_LBUTTONUP, 0, at);
}

// Every position handed to a slider (TBM_SETPOS), as given: the trackbar clamps it on its own,
// so what it shows afterwards cannot tell whether the page did.
class PositionsGiven {
public:
    explicit PositionsGiven(HWND slider) : slider_(slider) {
        SetWindowSubclass(slider, Record, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~PositionsGiven() { RemoveWindowSubclass(slider_, Record, 1); }
    PositionsGiven(const PositionsGiven&) = delete;
    PositionsGiven& operator=(const PositionsGiven&) = delete;
    std::vector<LPARAM> values;

private:
    static LRESULT CALLBACK Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
        if (message == TBM_SETPOS) reinterpret_cast<PositionsGiven*>(self)->values.push_back(lParam);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    HWND slider_;
};

class BreaksPage : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        nsHalden::SetFinishText(L"OK");
    }
    // Runs the page alone in its sheet, as "&Customize..." does, with the script's steps.
    INT_PTR RunAlone(std::vector<LoopScript::Step> steps) {
        nsHalden::CpsWizardBase sheet(L"Restwell");
        SetUpWizardSheet(sheet);
        page.ShowPlanned(LoadPlannedBreakList(app.identity));  // as the engine holds them
        sheet.AddPage(page);
        sheet_ = &sheet;
        LoopScript script(std::move(steps));
        const INT_PTR result = sheet.RunModal();
        boxes = script.messageBoxes();
        sheet_ = nullptr;
        return result;
    }
    HWND Page() const { return page.hwnd(); }
    HWND Sheet() const { return sheet_->hwnd(); }
    void Type(int id, const wchar_t* text) { SetWindowTextW(GetDlgItem(Page(), id), text); }
    void Press(int button) { sheet_->PressButton(button); }
    int SliderPosition(int id) const {
        return static_cast<int>(SendMessageW(GetDlgItem(Page(), id), TBM_GETPOS, 0, 0));
    }
    std::optional<std::uint32_t> Stored(Setting setting) const {
        std::uint32_t value = 0;
        if (!ReadSettingDwordRaw(app.identity, setting, value)) return std::nullopt;
        return value;
    }
    // The user's own value: the plain key, whatever a policy says.
    std::optional<std::uint32_t> UsersOwn(const wchar_t* name) const {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), name, type, data) || data.size() != 4) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24);
    }
    void StoreTimed(const std::vector<std::wstring>& texts) {
        for (size_t i = 0; i < texts.size(); ++i) {
            PutString(kHkeyCurrentUser, false, L"Breaks", TimedEntryName(static_cast<int>(i)).c_str(), texts[i]);
        }
        PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", static_cast<std::uint32_t>(texts.size()));
    }

    TestAppShared app;
    CppWizardBreaks page{app.Services()};
    std::vector<std::wstring> boxes;

private:
    nsHalden::CpsWizardBase* sheet_ = nullptr;
};

TEST_F(BreaksPage, AloneItShowsOnlyOkAndFinishWithoutThePlannedPartLeavesTimedAlone) {
    StoreTimed({});  // "Timed" = 0: the planned part stays hidden
    PutString(kHkeyCurrentUser, false, L"Breaks", L"Timed-0", L"0YYYYYYY,1200,Old");
    std::wstring finishText;
    bool backShown = true, nextShown = true, hintShown = false, listShown = true;
    page.m_nWorkMinutes = 70;
    const INT_PTR result = RunAlone({[&] {
        finishText = TextOfItem(Sheet(), kWizardFinishButton);
        backShown = Visible(Sheet(), kWizardBackButton);
        nextShown = Visible(Sheet(), kWizardNextButton);
        hintShown = Visible(Page(), IDC_PLANNED_HINT);
        listShown = Visible(Page(), IDC_PLANNED_LIST);
        Press(PSBTN_FINISH);
    }});
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(finishText, L"OK");
    EXPECT_FALSE(backShown);
    EXPECT_FALSE(nextShown);
    EXPECT_TRUE(hintShown);
    EXPECT_FALSE(listShown);
    EXPECT_TRUE(page.m_bStandalone);
    EXPECT_EQ(Stored(Setting::Enable), 1u);
    EXPECT_EQ(Stored(Setting::Work), 70u);
    EXPECT_EQ(Stored(Setting::Rest), 5u);
    EXPECT_EQ(Stored(Setting::Timed), 0u) << "the stored count stays as it was";
    EXPECT_EQ(LoadBreakTimed(app.identity, 0).m_strTitle, L"Old");
}

TEST_F(BreaksPage, TypedMinutesAreClampedOnFocusLossAndArrowsClampToo) {
    std::wstring summaryWhileTyped, fieldWhileTyped, fieldAfterTab;
    int sliderAfterTab = 0;
    struct ArrowCase {
        const wchar_t* typed;
        bool upper;
        const wchar_t* expected;
    };
    const ArrowCase arrowCases[] = {
        {L"29", true, L"30"}, {L"30", true, L"30"}, {L"3", false, L"3"}, {L"10", false, L"9"}};
    std::vector<std::wstring> afterArrow;
    std::vector<LoopScript::Step> steps = {[&] {
        Type(IDC_WORK_MINUTES, L"150");
        summaryWhileTyped = TextOfItem(Page(), IDC_DESCRIPTION);
        fieldWhileTyped = TextOfItem(Page(), IDC_WORK_MINUTES);
        SetFocus(GetDlgItem(Page(), IDC_WORK_MINUTES));
        SetFocus(GetDlgItem(Page(), IDC_REST_MINUTES));  // tabbing away
        fieldAfterTab = TextOfItem(Page(), IDC_WORK_MINUTES);
        sliderAfterTab = SliderPosition(IDC_WORK_SLIDER);
        for (const ArrowCase& c : arrowCases) {
            Type(IDC_REST_MINUTES, c.typed);
            ClickArrow(GetDlgItem(Page(), IDC_REST_ARROWS), c.upper);
            afterArrow.push_back(TextOfItem(Page(), IDC_REST_MINUTES));
        }
        Press(PSBTN_CANCEL);
    }};
    EXPECT_EQ(RunAlone(std::move(steps)), IDCANCEL);
    EXPECT_EQ(summaryWhileTyped, L"You will be reminded to take a 5 minute break every 120 minutes.");
    EXPECT_EQ(fieldWhileTyped, L"150") << "a typed value stays as typed until the field loses the focus";
    EXPECT_EQ(fieldAfterTab, L"120");
    EXPECT_EQ(sliderAfterTab, 120);
    ASSERT_EQ(afterArrow.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(afterArrow[i], arrowCases[i].expected) << "case " << i;
    EXPECT_FALSE(Stored(Setting::Work).has_value()) << "Cancel writes nothing";
}

TEST_F(BreaksPage, TypingIsNoErrorUntilTheFieldIsLeftAndTheThumbStaysOnTheTrack) {
    struct Seen {
        std::wstring field, summary;
        int workThumb = 0, restThumb = 0;
    };
    std::vector<Seen> seen;
    std::wstring afterLeavingEmpty, afterLeavingPartial;
    std::vector<LPARAM> workGiven, restGiven;
    auto look = [&] {
        seen.push_back({TextOfItem(Page(), IDC_WORK_MINUTES), TextOfItem(Page(), IDC_DESCRIPTION),
                        SliderPosition(IDC_WORK_SLIDER), SliderPosition(IDC_REST_SLIDER)});
    };
    RunAlone({[&] {
        SetFocus(GetDlgItem(Page(), IDC_WORK_MINUTES));
        Type(IDC_WORK_MINUTES, L"5");  // one Backspace in "55"
        look();
        Type(IDC_WORK_MINUTES, L"");  // and another
        look();
        {
            PositionsGiven work(GetDlgItem(Page(), IDC_WORK_SLIDER));
            PositionsGiven rest(GetDlgItem(Page(), IDC_REST_SLIDER));
            Type(IDC_WORK_MINUTES, L"150");
            Type(IDC_REST_MINUTES, L"1");
            workGiven = work.values;
            restGiven = rest.values;
        }
        look();
        Type(IDC_WORK_MINUTES, L"");
        SetFocus(GetDlgItem(Page(), IDC_REST_MINUTES));  // an empty field left: its last number
        afterLeavingEmpty = TextOfItem(Page(), IDC_WORK_MINUTES);
        Type(IDC_REST_MINUTES, L"-");
        SetFocus(GetDlgItem(Page(), IDC_WORK_MINUTES));
        afterLeavingPartial = TextOfItem(Page(), IDC_REST_MINUTES);
        Press(PSBTN_FINISH);
    }});
    EXPECT_EQ(boxes, std::vector<std::wstring>{}) << "no \"Enter an integer.\" while typing";
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].field, L"5");
    EXPECT_EQ(seen[0].summary, L"You will be reminded to take a 5 minute break every 30 minutes.");
    EXPECT_EQ(seen[1].field, L"") << "the field stays as typed";
    EXPECT_EQ(seen[1].summary, seen[0].summary);
    EXPECT_EQ(seen[2].workThumb, 120) << "a value above the range puts the thumb at the end";
    EXPECT_EQ(seen[2].restThumb, 3) << "and one below it at the start";
    ASSERT_FALSE(workGiven.empty());
    ASSERT_FALSE(restGiven.empty());
    for (LPARAM given : workGiven) {
        EXPECT_TRUE(given >= rw::WorkLimits().min && given <= rw::WorkLimits().max) << given;
    }
    for (LPARAM given : restGiven) {
        EXPECT_TRUE(given >= rw::RestLimits().min && given <= rw::RestLimits().max) << given;
    }
    EXPECT_EQ(workGiven.back(), rw::WorkLimits().max) << "the page clamps before the slider does";
    EXPECT_EQ(restGiven.back(), rw::RestLimits().min);
    EXPECT_EQ(afterLeavingEmpty, L"120");
    EXPECT_EQ(afterLeavingPartial, L"3");
    EXPECT_EQ(Stored(Setting::Work), 120u);
    EXPECT_EQ(Stored(Setting::Rest), 3u);
}

// The sliders moved from the keyboard and with the mouse: the minutes field and the summary
// follow, and a typed number moves the thumb back.
TEST_F(BreaksPage, SlidersMovedByKeysOrMouseMoveTheirFieldsAndTypingMovesTheThumb) {
    struct Move {
        int slider;
        UINT key;
        const wchar_t* field;
    };
    const Move moves[] = {
        {IDC_REST_SLIDER, VK_RIGHT, L"6"}, {IDC_REST_SLIDER, VK_RIGHT, L"7"}, {IDC_REST_SLIDER, VK_END, L"30"},
        {IDC_REST_SLIDER, VK_HOME, L"3"},  {IDC_WORK_SLIDER, VK_NEXT, L"65"}, {IDC_WORK_SLIDER, VK_LEFT, L"64"},
    };
    std::vector<std::wstring> fields;
    std::wstring summary, fieldAfterClick;
    int thumbAfterClick = 0, thumbAfterTyping = 0;
    RunAlone({[&] {
        for (const Move& m : moves) {
            HWND slider = GetDlgItem(Page(), m.slider);
            SetFocus(slider);
            SendMessageW(slider, WM_KEYDOWN, m.key, 1);
            SendMessageW(slider, WM_KEYUP, m.key, 0xC0000001);
            fields.push_back(TextOfItem(Page(), m.slider == IDC_REST_SLIDER ? IDC_REST_MINUTES : IDC_WORK_MINUTES));
        }
        summary = TextOfItem(Page(), IDC_DESCRIPTION);
        // A click on the track right of the thumb moves it a page.
        HWND rest = GetDlgItem(Page(), IDC_REST_SLIDER);
        RECT channel{};
        SendMessageW(rest, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const LPARAM at = MAKELPARAM(channel.right - 2, (channel.top + channel.bottom) / 2);
        SendMessageW(rest, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(rest, WM_LBUTTONUP, 0, at);
        thumbAfterClick = SliderPosition(IDC_REST_SLIDER);
        fieldAfterClick = TextOfItem(Page(), IDC_REST_MINUTES);
        Type(IDC_REST_MINUTES, L"12");
        thumbAfterTyping = SliderPosition(IDC_REST_SLIDER);
        Press(PSBTN_FINISH);
    }});
    ASSERT_EQ(fields.size(), std::size(moves));
    for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i], moves[i].field) << "move " << i;
    EXPECT_EQ(summary, L"You will be reminded to take a 3 minute break every 64 minutes.");
    EXPECT_GT(thumbAfterClick, rw::RestLimits().min);
    EXPECT_EQ(fieldAfterClick, std::to_wstring(thumbAfterClick));
    EXPECT_EQ(thumbAfterTyping, 12);
    EXPECT_EQ(Stored(Setting::Work), 64u);
    EXPECT_EQ(Stored(Setting::Rest), 12u);
}

TEST_F(BreaksPage, AnEmptyFieldAtFinishIsReportedAndNothingIsStored) {
    std::vector<std::wstring> boxesSeen;
    bool stillOpen = false;
    RunAlone({[&] {
                  // Enter finishes with the focus still in the field: no focus change settles it.
                  Type(IDC_REST_MINUTES, L"");
                  PostMessageW(Sheet(), PSM_PRESSBUTTON, PSBTN_FINISH, 0);
              },
              [&] {
                  stillOpen = IsWindow(Sheet()) != FALSE;
                  Press(PSBTN_CANCEL);
              }});
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Enter an integer."});
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(Stored(Setting::Rest).has_value());
}

TEST_F(BreaksPage, OutOfRangeValueIsClampedOnFinish) {
    RunAlone({[&] {
        Type(IDC_REST_MINUTES, L"45");  // Enter would finish with the focus still in the field
        Press(PSBTN_FINISH);
    }});
    EXPECT_EQ(Stored(Setting::Rest), 30u);
}

TEST_F(BreaksPage, PolicyLocksAndTheSwitchDisableTheirControls) {
    struct Case {
        const wchar_t* policyValue;  // present in the user's "Breaks" policy key, of any content
        bool periodsEnabled;
        std::optional<std::uint32_t> storedWork;  // a locked value is not the user's to store
    };
    const Case cases[] = {{L"Work", false, std::nullopt}, {L"Rest", true, 55u}};
    const int periodControls[] = {IDC_WORK_SLIDER,  IDC_REST_SLIDER, IDC_WORK_MINUTES,
                                  IDC_REST_MINUTES, IDC_WORK_ARROWS, IDC_REST_ARROWS};
    for (const Case& c : cases) {
        ResetTestRegistry();
        PutString(kHkeyCurrentUser, true, L"Breaks", c.policyValue, L"any content");
        CppWizardBreaks fresh(app.Services());
        std::vector<bool> periods, periodsOff;
        bool checkEnabled = false, showOff = true, addOff = true;
        std::wstring summaryOff;
        nsHalden::CpsWizardBase sheet(L"Restwell");
        SetUpWizardSheet(sheet);
        sheet.AddPage(fresh);
        LoopScript script({[&] {
            HWND p = fresh.hwnd();
            for (int id : periodControls) periods.push_back(Enabled(p, id));
            checkEnabled = Enabled(p, IDC_BREAKS_ENABLE);
            // Reminders off: everything but the switch goes grey.
            SendMessageW(GetDlgItem(p, IDC_BREAKS_ENABLE), BM_CLICK, 0, 0);
            for (int id : periodControls) periodsOff.push_back(Enabled(p, id));
            showOff = Enabled(p, IDC_PLANNED_SHOW);
            SendMessageW(p, WM_COMMAND, MAKEWPARAM(IDC_PLANNED_SHOW, BN_CLICKED), 0);
            addOff = Enabled(p, IDC_PLANNED_ADD);
            summaryOff = TextOfItem(p, IDC_DESCRIPTION);
            sheet.PressButton(PSBTN_FINISH);
        }});
        EXPECT_EQ(sheet.RunModal(), ID_WIZFINISH);
        EXPECT_EQ(periods, std::vector<bool>(6, c.periodsEnabled)) << c.policyValue;
        EXPECT_TRUE(checkEnabled) << c.policyValue;
        EXPECT_EQ(periodsOff, std::vector<bool>(6, false)) << c.policyValue;
        EXPECT_FALSE(showOff);
        EXPECT_FALSE(addOff);
        EXPECT_EQ(summaryOff, L"With this feature disabled you will not be reminded when breaks are due.");
        EXPECT_EQ(Stored(Setting::Enable), 0u);
        EXPECT_EQ(UsersOwn(L"Work"), c.storedWork) << c.policyValue;
    }
}

TEST_F(BreaksPage, StoredBreaksAreListedInTimeOrderAndDeletingTheLastLeavesTheListShown) {
    StoreTimed({L"0NYYYYYN,1730,Home time", L"0YYYYYYY,1230,Lunch"});
    std::vector<std::wstring> titles;
    bool editBeforeSelection = true, listShownAfterDelete = false;
    int rowsAfterDelete = -1;
    RunAlone({[&] {
        HWND list = GetDlgItem(Page(), IDC_PLANNED_LIST);
        wchar_t buffer[64];
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            ListView_GetItemText(list, row, 1, buffer, 64);
            titles.push_back(buffer);
        }
        editBeforeSelection = Enabled(Page(), IDC_PLANNED_EDIT);
        for (int row = 0; row < 2; ++row) {
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_PLANNED_DELETE, BN_CLICKED), 0);
        }
        rowsAfterDelete = ListView_GetItemCount(list);
        listShownAfterDelete = Visible(Page(), IDC_PLANNED_LIST);
        Press(PSBTN_FINISH);
    }});
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Lunch", L"Home time"}));
    EXPECT_FALSE(editBeforeSelection);
    EXPECT_EQ(rowsAfterDelete, 0);
    EXPECT_TRUE(listShownAfterDelete);
    EXPECT_EQ(Stored(Setting::Timed), 0u);
    EXPECT_TRUE(page.m_listPlanned.empty());
}

TEST_F(BreaksPage, AddedBreakIsSavedWithItsDaysMappedFromTheEditor) {
    app.calendar.SetLocalNow(2024, 1, 10, 11, 20);  // the editor proposes 11:30
    RunAlone({
        [&] {
            SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_PLANNED_SHOW, BN_CLICKED), 0);
            PostMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_PLANNED_ADD, BN_CLICKED), 0);
        },
        [&] {
            HWND editor = FindWindowW(L"#32770", L"Planned Break");
            ASSERT_NE(editor, nullptr);
            SetDlgItemTextW(editor, IDC_TIMED_TITLE, L"Lunch");
            // Only Sunday (the editor's last box) and Monday (its first).
            for (int i = 1; i < 6; ++i) CheckDlgButton(editor, IDC_TIMED_MONDAY + i, BST_UNCHECKED);
            SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        [&] { Press(PSBTN_FINISH); },
    });
    EXPECT_EQ(Stored(Setting::Timed), 1u);
    const CBreakTimed saved = LoadBreakTimed(app.identity, 0);
    EXPECT_EQ(saved.ToText(), L"0YYNNNNN,1130,Lunch");
    ASSERT_EQ(page.m_listPlanned.size(), 1u);
    EXPECT_EQ(page.m_listPlanned[0].m_strTitle, L"Lunch");
}

// Opens the editor on the planned list's row as the mouse does, with a double-click.
void DoubleClickRow(HWND list, int row) {
    RECT item{};
    ListView_GetItemRect(list, row, &item, LVIR_LABEL);
    const LPARAM at = MAKELPARAM(item.left + 4, (item.top + item.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

SYSTEMTIME PickerTime(HWND editor) {
    SYSTEMTIME shown{};
    SendMessageW(GetDlgItem(editor, IDC_TIMED_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

TEST_F(BreaksPage, EditingOnAClockChangeDayKeepsTheTimeAndTheFirstRowHasTheFocus) {
    // 31 March 2024 in a European zone: at 01:00 UTC the clock went from 02:00 to 03:00.
    app.calendar.SetUtcOffset(3600);
    app.calendar.SetClockChange(app.calendar.LocalToTime(2024, 3, 31, 2, 0), 7200);
    app.calendar.SetNow(app.calendar.LocalToTime(2024, 3, 31, 9, 0));  // 10:00 summer time
    StoreTimed({L"0NYYYYYN,1230,Lunch", L"0YYYYYYY,0130,Night"});
    int focusedRow = -1;
    SYSTEMTIME shownByDoubleClick{}, shownByEdit{};
    std::wstring editedTitle;
    RunAlone({
        [&] {
            HWND list = GetDlgItem(Page(), IDC_PLANNED_LIST);
            focusedRow = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
            DoubleClickRow(list, 0);
        },
        [&] {
            HWND editor = FindWindowW(L"#32770", L"Planned Break");
            ASSERT_NE(editor, nullptr) << "a double-click on a row opens the editor";
            shownByDoubleClick = PickerTime(editor);
            SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // nothing touched
        },
        [&] {
            HWND list = GetDlgItem(Page(), IDC_PLANNED_LIST);
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
            PostMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_PLANNED_EDIT, BN_CLICKED), 0);
        },
        [&] {
            HWND editor = FindWindowW(L"#32770", L"Planned Break");
            ASSERT_NE(editor, nullptr) << "\"&Edit...\" opens the editor";
            shownByEdit = PickerTime(editor);
            SetDlgItemTextW(editor, IDC_TIMED_TITLE, L"Long lunch");
            SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        [&] {
            wchar_t buffer[64] = L"";
            ListView_GetItemText(GetDlgItem(Page(), IDC_PLANNED_LIST), 1, 1, buffer, 64);
            editedTitle = buffer;
            Press(PSBTN_FINISH);
        },
    });
    EXPECT_EQ(focusedRow, 0) << "the first row has the focus when planned breaks exist";
    EXPECT_EQ(shownByDoubleClick.wHour, 1);
    EXPECT_EQ(shownByDoubleClick.wMinute, 30);
    EXPECT_EQ(shownByEdit.wHour, 12);
    EXPECT_EQ(shownByEdit.wMinute, 30);
    EXPECT_EQ(editedTitle, L"Long lunch") << "the row shows the edit";
    EXPECT_EQ(LoadBreakTimed(app.identity, 0).ToText(), L"0YYYYYYY,0130,Night");
    EXPECT_EQ(LoadBreakTimed(app.identity, 1).ToText(), L"0NYYYYYN,1230,Long lunch");
}

// The real registry, counting the values read.
class CountingRegistry : public Registry {
public:
    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        return real_.OpenKey(root, path, access, key);
    }
    long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        return real_.CreateKey(root, path, access, key);
    }
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        ++queries;
        return real_.QueryValue(key, name, type, data, size);
    }
    long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        return real_.SetValue(key, name, type, data, size);
    }
    void CloseKey(RegKey key) override { real_.CloseKey(key); }
    int queries = 0;

private:
    RegistryWin32 real_;
};

TEST_F(BreaksPage, ACorruptCountReadsNoFurtherThanTheStoredEntries) {
    StoreTimed({L"0NYYYYYN,1230,Lunch", L"0YYYYYYY,0900,Tea"});
    // 0x7FFFFFFF took the page days; a count this size shows the bound by the values read.
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", 20000);
    CountingRegistry registry;
    TestAppShared counted(&registry);
    CppWizardBreaks bounded(counted.Services());
    bounded.ShowPlanned(LoadPlannedBreakList(counted.identity));
    nsHalden::CpsWizardBase sheet(L"Restwell");
    SetUpWizardSheet(sheet);
    sheet.AddPage(bounded);
    int rows = -1;
    LoopScript script({[&] {
        rows = ListView_GetItemCount(GetDlgItem(bounded.hwnd(), IDC_PLANNED_LIST));
        sheet.PressButton(PSBTN_CANCEL);
    }});
    sheet.RunModal();
    EXPECT_EQ(rows, 2);
    EXPECT_LT(registry.queries, 1000) << "the loading stops at the first missing entry from 100 on";
}

TEST_F(BreaksPage, LockedValuesShowThePolicysAndFinishKeepsTheUsersOwn) {
    // The user's own choice, then an administrator's policy over it.
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Enable", 1);
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Work", 40);
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Rest", 7);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Enable", 0);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Work", 90);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Rest", 10);
    bool checked = true, checkEnabled = true, workEnabled = true;
    std::wstring work, rest, summary;
    int thumb = 0;
    RunAlone({[&] {
        checked = IsDlgButtonChecked(Page(), IDC_BREAKS_ENABLE) == BST_CHECKED;
        checkEnabled = Enabled(Page(), IDC_BREAKS_ENABLE);
        workEnabled = Enabled(Page(), IDC_WORK_MINUTES);
        work = TextOfItem(Page(), IDC_WORK_MINUTES);
        rest = TextOfItem(Page(), IDC_REST_MINUTES);
        summary = TextOfItem(Page(), IDC_DESCRIPTION);
        thumb = SliderPosition(IDC_WORK_SLIDER);
        Press(PSBTN_FINISH);
    }});
    EXPECT_FALSE(checked) << "the policy's Enable 0, not a ticked box";
    EXPECT_FALSE(checkEnabled);
    EXPECT_FALSE(workEnabled);
    EXPECT_EQ(work, L"90");
    EXPECT_EQ(rest, L"10");
    EXPECT_EQ(thumb, 90);
    EXPECT_EQ(summary, L"With this feature disabled you will not be reminded when breaks are due.");
    EXPECT_EQ(UsersOwn(L"Enable"), 1u) << "the user's own values stay as they were";
    EXPECT_EQ(UsersOwn(L"Work"), 40u);
    EXPECT_EQ(UsersOwn(L"Rest"), 7u);
    EXPECT_FALSE(page.m_bEnabled) << "what the main window takes over is what is enforced";
    EXPECT_EQ(page.m_nWorkMinutes, 90);
}

TEST_F(BreaksPage, NoTwoControlsShareAnAccessKey) {
    std::wstring pageKeys, editorKeys;
    RunAlone({[&] {
                  pageKeys = AccessKeysOf(Page()) + AccessKeysOf(Sheet());
                  PostMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_PLANNED_ADD, BN_CLICKED), 0);
              },
              [&] {
                  HWND editor = FindWindowW(L"#32770", L"Planned Break");
                  ASSERT_NE(editor, nullptr);
                  editorKeys = AccessKeysOf(editor);
                  SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
              },
              [&] { Press(PSBTN_CANCEL); }});
    for (std::wstring keys : {pageKeys, editorKeys}) {
        const std::wstring shown = keys;
        std::sort(keys.begin(), keys.end());
        EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << testing::PrintToString(shown);
    }
    EXPECT_GE(pageKeys.size(), 8u) << testing::PrintToString(pageKeys);
}

// The welcome wizard ----------------------------------------------------------------------

class WelcomeWizard : public BreaksPage {
protected:
    // The key reaches the control with the focus through the sheet's own loop, as typed.
    static void Key(UINT key) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    }
    static HWND FindSheet() { return FindWindowW(L"#32770", L"Restwell"); }
    static HWND CurrentPage() { return PropSheet_GetCurrentPageHwnd(FindSheet()); }
    static int FocusId() { return GetDlgCtrlID(GetFocus()); }
};

TEST_F(WelcomeWizard, FinishedWithKeysAloneAndBackKeepsWhatWasTyped) {
    std::vector<int> focusOnPage;  // the control with the focus on the first and last page
    std::wstring workAfterBack;
    bool finishVisible = false;
    bool finished = false;
    LoopScript script({
        [&] {
            focusOnPage.push_back(FocusId());
            Key(VK_RETURN);  // Next
        },
        [&] {
            HWND work = GetDlgItem(CurrentPage(), IDC_WORK_MINUTES);
            SendMessageW(FindSheet(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(work), TRUE);
            SendMessageW(work, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"40"));
            Key(VK_RETURN);  // Next, with the focus in the field
        },
        [&] {
            focusOnPage.push_back(FocusId());
            finishVisible = IsWindowVisible(GetDlgItem(FindSheet(), kWizardFinishButton)) != FALSE;
            PostMessageW(FindSheet(), PSM_PRESSBUTTON, PSBTN_BACK, 0);
        },
        [&] {
            workAfterBack = TextOfItem(CurrentPage(), IDC_WORK_MINUTES);
            PostMessageW(FindSheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        },
        [&] { Key(VK_RETURN); },  // Finish
    });
    const std::optional<std::int64_t> finishedAt = RunWelcomeWizard(app.Services(), LoadPlannedBreakList(app.identity));
    finished = finishedAt.has_value();
    EXPECT_TRUE(finished);
    // The start-up keeps the time the wizard hands back, which is the one stored.
    EXPECT_EQ(finishedAt, std::optional<std::int64_t>(app.calendar.Now()));
    ASSERT_EQ(focusOnPage.size(), 2u);
    EXPECT_EQ(focusOnPage[0], kWizardNextButton);
    EXPECT_EQ(focusOnPage[1], kWizardFinishButton) << "the hidden Next gave the focus to Finish";
    EXPECT_TRUE(finishVisible);
    EXPECT_EQ(workAfterBack, L"40");
    EXPECT_EQ(UsersOwn(L"Work"), 40u);
    EXPECT_EQ(UsersOwn(L"Enable"), 1u);
    EXPECT_EQ(Stored(Setting::Welcome), std::optional<std::uint32_t>(static_cast<std::uint32_t>(app.calendar.Now())));
}

TEST_F(WelcomeWizard, ButtonsFollowThePagesPlaceInTheSheet) {
    struct Seen {
        bool back, next, finish;
    };
    // Only the first page of each sheet is looked at.
    std::vector<Seen> seen;
    auto look = [&](nsHalden::CpsWizardBase& sheet) {
        LoopScript script({[&] {
            HWND h = sheet.hwnd();
            seen.push_back({Visible(h, kWizardBackButton) && Enabled(h, kWizardBackButton),
                            Visible(h, kWizardNextButton) && Enabled(h, kWizardNextButton),
                            Visible(h, kWizardFinishButton) && Enabled(h, kWizardFinishButton)});
            PostMessageW(h, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        }});
        sheet.RunModal();
    };
    {
        nsHalden::CpsWizardBase sheet(L"Restwell");
        SetUpWizardSheet(sheet);
        CppWizardBreaks breaks(app.Services());
        CppWizardWelcomeFinish finish(app.Services());
        sheet.AddPage(breaks);
        sheet.AddPage(finish);
        look(sheet);
    }
    {
        nsHalden::CpsWizardBase sheet(L"Restwell");
        SetUpWizardSheet(sheet);
        CppWizardWelcomeFinish finish(app.Services());
        CppWizardBreaks breaks(app.Services());
        sheet.AddPage(finish);
        sheet.AddPage(breaks);
        look(sheet);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].back) << "a settings page first: Next only";
    EXPECT_TRUE(seen[0].next);
    EXPECT_FALSE(seen[0].finish);
    EXPECT_FALSE(seen[1].back) << "a finish page first: no Back";
    EXPECT_TRUE(seen[1].finish);
}

// A page's rectangle in the sheet's client area, and how far its visible controls reach
// (their right and bottom edges in its client area).
RECT RectInSheet(HWND page) {
    RECT r{};
    GetWindowRect(page, &r);
    MapWindowPoints(nullptr, GetParent(page), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT ReachOf(HWND page) {
    POINT reach{};
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        reach = {std::max(reach.x, r.right), std::max(reach.y, r.bottom)};
    }
    return reach;
}

// The texts of a page's visible static controls that need more lines than their control
// shows, word-wrapped in their own font.
std::vector<std::wstring> CutTexts(HWND page) {
    std::vector<std::wstring> cut;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = L"";
        GetClassNameW(child, kind, 16);
        const std::wstring text = Window::TextOf(child);
        if (!IsWindowVisible(child) || lstrcmpiW(kind, L"Static") != 0 || text.empty()) continue;
        RECT shown{};
        GetClientRect(child, &shown);
        RECT needed = shown;
        const HDC dc = GetDC(child);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        // A pixel or two of a line's leading may go; half a line may not.
        if (needed.bottom > shown.bottom + metrics.tmHeight / 2) cut.push_back(text);
    }
    return cut;
}

// Moved to a monitor of 1.5 times the DPI: the wizard's buttons and its page, and the pages
// that Next makes afterwards, draw with fonts and take places at the new DPI, each page in
// the page area with its controls inside it.
TEST_F(WelcomeWizard, FollowsADpiChangeWithFontsAndLayout) {
    struct Seen {
        int nextFont = 0, secondFont = 0, columnsFont = 0, timeColumn = 0;
        SIZE next{}, workField{};
        RECT firstPage{}, secondPage{}, finishPage{};
        POINT secondReach{};
        std::vector<std::wstring> cut;  // texts cut off on the finish page
    };
    const auto look = [&](bool change) {
        Seen seen;
        LoopScript script({[&] {
                               HWND sheet = FindSheet();
                               ASSERT_NE(sheet, nullptr);
                               const int dpi = WindowDpi(sheet);
                               if (change) SendDpiChange(sheet, dpi, dpi * 3 / 2);
                               HWND next = GetDlgItem(sheet, kWizardNextButton);
                               seen.nextFont = FontHeightOf(next);
                               seen.next = SizeOf(next);
                               seen.firstPage = RectInSheet(CurrentPage());
                               PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
                           },
                           [&] {
                               HWND page = CurrentPage();
                               ASSERT_NE(page, nullptr);
                               seen.secondFont = FontHeightOf(GetDlgItem(page, IDC_WORK_MINUTES));
                               seen.workField = SizeOf(GetDlgItem(page, IDC_WORK_MINUTES));
                               HWND list = GetDlgItem(page, IDC_PLANNED_LIST);
                               ASSERT_NE(list, nullptr);
                               seen.columnsFont = FontHeightOf(ListView_GetHeader(list));
                               seen.timeColumn = ListView_GetColumnWidth(list, 0);
                               seen.secondPage = RectInSheet(page);
                               seen.secondReach = ReachOf(page);
                               PostMessageW(FindSheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
                           },
                           [&] {
                               ASSERT_NE(CurrentPage(), nullptr);
                               seen.finishPage = RectInSheet(CurrentPage());
                               seen.cut = CutTexts(CurrentPage());
                               PostMessageW(FindSheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                           }});
        RunWelcomeWizard(app.Services(), LoadPlannedBreakList(app.identity));
        EXPECT_TRUE(script.finished());
        return seen;
    };
    const Seen before = look(false);
    const Seen after = look(true);
    EXPECT_TRUE(ScaledBy(before.nextFont, after.nextFont, 2, 3)) << "Next's font";
    EXPECT_TRUE(ScaledBy(before.secondFont, after.secondFont, 2, 3)) << "the page Next shows";
    EXPECT_TRUE(ScaledBy(before.columnsFont, after.columnsFont, 2, 3)) << "the planned list's column titles";
    EXPECT_TRUE(ScaledBy(before.timeColumn, after.timeColumn, 2, 3)) << "the planned list's time column";
    for (auto [name, b, a] :
         {std::tuple{"Next", before.next, after.next}, {"work field", before.workField, after.workField}}) {
        EXPECT_TRUE(ScaledBy(b.cx, a.cx, 2, 3)) << name << "'s width";
        EXPECT_TRUE(ScaledBy(b.cy, a.cy, 2, 3)) << name << "'s height";
    }
    // The first page was there when the DPI changed, the other two were made after it.
    for (auto [name, b, a] : {std::tuple{"first page", before.firstPage, after.firstPage},
                              {"breaks page", before.secondPage, after.secondPage},
                              {"finish page", before.finishPage, after.finishPage}}) {
        EXPECT_TRUE(ScaledBy(b.left, a.left, 2, 3)) << name << "'s left";
        EXPECT_TRUE(ScaledBy(b.top, a.top, 2, 3)) << name << "'s top";
        EXPECT_TRUE(ScaledBy(b.right - b.left, a.right - a.left, 2, 3)) << name << "'s width";
        EXPECT_TRUE(ScaledBy(b.bottom - b.top, a.bottom - a.top, 2, 3)) << name << "'s height";
    }
    for (const Seen& seen : {before, after}) {
        for (const std::wstring& text : seen.cut) ADD_FAILURE() << "cut off on the finish page: " << text;
        EXPECT_LE(seen.secondReach.x, seen.secondPage.right - seen.secondPage.left) << "a control cut off at the right";
        EXPECT_LE(seen.secondReach.y, seen.secondPage.bottom - seen.secondPage.top)
            << "a control cut off at the bottom";
    }
}

// The watermark column of the first and last pages, as drawn on the screen: from the picture's
// last row down to the page's bottom edge, one colour, with no edge where the picture ends.
TEST_F(WelcomeWizard, TheWatermarkFillsItsColumnToTheBottomOfThePage) {
    BITMAP picture{};
    {
        rw::BitmapOwner loaded(static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_WATERMARK), IMAGE_BITMAP, 0, 0, 0)));
        ASSERT_NE(loaded.get(), nullptr);
        ASSERT_NE(GetObjectW(loaded.get(), sizeof picture, &picture), 0);
    }
    struct Column {
        int pageBottom = 0;
        COLORREF lastRow = CLR_INVALID, above = CLR_INVALID, bottom = CLR_INVALID;
    };
    std::vector<Column> seen;
    auto look = [&] {
        HWND sheet = FindSheet();
        HWND page = CurrentPage();
        ASSERT_NE(page, nullptr);
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT r{};
        GetWindowRect(page, &r);
        MapWindowPoints(HWND_DESKTOP, sheet, reinterpret_cast<POINT*>(&r), 2);
        Column c;
        c.pageBottom = r.bottom;
        const HDC dc = GetDC(sheet);
        const int x = picture.bmWidth / 8;  // left of the picture's circle
        c.lastRow = GetPixel(dc, x, picture.bmHeight - 1);
        c.above = GetPixel(dc, x, (picture.bmHeight + r.bottom) / 2);
        c.bottom = GetPixel(dc, x, r.bottom - 1);
        ReleaseDC(sheet, dc);
        seen.push_back(c);
    };
    LoopScript script({
        [&] {
            look();
            PropSheet_SetCurSel(FindSheet(), nullptr, 2);  // the finish page
        },
        [&] {
            look();
            PostMessageW(FindSheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
    });
    RunWelcomeWizard(app.Services(), LoadPlannedBreakList(app.identity));
    ASSERT_EQ(seen.size(), 2u);
    for (const Column& c : seen) {
        ASSERT_GT(c.pageBottom, picture.bmHeight) << "the page is deeper than the picture";
        EXPECT_NE(c.lastRow, CLR_INVALID);
        EXPECT_EQ(c.above, c.lastRow) << std::hex << c.above << " " << c.lastRow;
        EXPECT_EQ(c.bottom, c.lastRow) << std::hex << c.bottom << " " << c.lastRow;
    }
}

// The editor alone -----------------------------------------------------------------------

class BreakEditor : public ::testing::Test {
protected:
    TestAppShared app;
};

TEST_F(BreakEditor, ProposesTheNextQuarterHourAndChecksTitleBeforeDays) {
    app.calendar.SetLocalNow(2024, 1, 10, 23, 50);
    app.locale.timeFormat = L"HH:mm:ss";
    CdlgBreakTimed editor(app.locale, app.calendar);
    SYSTEMTIME shown{};
    int titleLimit = 0;
    LoopScript script({
        [&] {
            SendMessageW(GetDlgItem(editor.hwnd(), IDC_TIMED_TIME), DTM_GETSYSTEMTIME, 0,
                         reinterpret_cast<LPARAM>(&shown));
            titleLimit =
                static_cast<int>(SendMessageW(GetDlgItem(editor.hwnd(), IDC_TIMED_TITLE), EM_GETLIMITTEXT, 0, 0));
            for (int i = 0; i < 7; ++i) CheckDlgButton(editor.hwnd(), IDC_TIMED_MONDAY + i, BST_UNCHECKED);
            SendMessageW(editor.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // no title, no day
        },
        [&] {
            SetDlgItemTextW(editor.hwnd(), IDC_TIMED_TITLE, L" ");  // spaces are a title
            SendMessageW(editor.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        [&] {
            CheckDlgButton(editor.hwnd(), IDC_TIMED_MONDAY + 2, BST_CHECKED);
            SendMessageW(editor.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
    });
    EXPECT_EQ(editor.RunModal(), IDOK);
    EXPECT_EQ(script.messageBoxes(),
              (std::vector<std::wstring>{L"Please enter a title.", L"Please select one or more days of the week."}));
    EXPECT_EQ(shown.wMinute, 0);
    EXPECT_EQ(titleLimit, 50);
    // The next quarter hour strictly after 23:50 is midnight, on the next day.
    EXPECT_EQ(shown.wHour, 0);
    EXPECT_EQ(editor.m_nHour, 0);
    EXPECT_EQ(editor.m_nMinute, 0);
    EXPECT_EQ(editor.m_bDays, (std::array<bool, 7>{false, false, true, false, false, false, false}));
}

TEST_F(BreakEditor, ShowsTheTimeInTheLocalesTwelveOrTwentyFourHourForm) {
    struct Case {
        const wchar_t* localeFormat;
        const wchar_t* shown;  // the picker's text for 13:30
    };
    const Case cases[] = {{L"h:mm:ss tt", L"1:30 PM"}, {L"HH:mm:ss", L" 13:30"}};
    for (const Case& c : cases) {
        app.locale.timeFormat = c.localeFormat;
        CdlgBreakTimed editor(app.locale, app.calendar);
        editor.m_nHour = 13;
        editor.m_nMinute = 30;
        std::wstring shown;
        LoopScript script({[&] {
            shown = TextOfItem(editor.hwnd(), IDC_TIMED_TIME);
            editor.End(IDCANCEL);
        }});
        EXPECT_EQ(editor.RunModal(), IDCANCEL);
        EXPECT_EQ(shown, c.shown) << c.localeFormat;
    }
}

TEST_F(BreakEditor, ShowsTheLocalesDayNamesOnlyWhenTheyDiffer) {
    struct Case {
        std::array<std::wstring, 7> names;   // Sunday first
        std::vector<std::wstring> captions;  // Monday first
    };
    const Case cases[] = {
        {{L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"},
         {L"&Monday", L"&Tuesday", L"&Wednesday", L"T&hursday", L"&Friday", L"&Saturday", L"S&unday"}},
        {{L"Sonntag", L"Montag", L"Dienstag", L"Mittwoch", L"Donnerstag", L"Freitag", L"Samstag"},
         {L"Montag", L"Dienstag", L"Mittwoch", L"Donnerstag", L"Freitag", L"Samstag", L"Sonntag"}},
    };
    for (const Case& c : cases) {
        app.locale.dayNames = c.names;
        CdlgBreakTimed editor(app.locale, app.calendar);
        std::vector<std::wstring> captions;
        LoopScript script({[&] {
            for (int i = 0; i < 7; ++i) captions.push_back(TextOfItem(editor.hwnd(), IDC_TIMED_MONDAY + i));
            editor.End(IDCANCEL);
        }});
        EXPECT_EQ(editor.RunModal(), IDCANCEL);
        EXPECT_EQ(captions, c.captions) << c.names[1].c_str();
    }
}

}  // namespace
