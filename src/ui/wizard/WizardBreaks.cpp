#include "ui/wizard/WizardBreaks.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "core/ResourceString.h"
#include "framework/Dpi.h"
#include "framework/IntegerText.h"
#include "ui/wizard/BreakTimedEditor.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

// The arrows keep the up-down control's default range, where the upper arrow reports -1;
// the position stays in the middle because the page refuses every change itself.
constexpr int kArrowRangeLow = 100, kArrowRangeHigh = 0, kArrowPosition = 50;

// The slider steps: ten minutes of work, three of rest.
constexpr int kWorkStep = 10, kRestStep = 3;

int CALLBACK CompareTimeOfDay(LPARAM first, LPARAM second, LPARAM) {
    const auto* a = reinterpret_cast<const CBreakTimed*>(first);
    const auto* b = reinterpret_cast<const CBreakTimed*>(second);
    return a->m_nTimeOfDay < b->m_nTimeOfDay ? -1 : (a->m_nTimeOfDay > b->m_nTimeOfDay ? 1 : 0);
}

std::int32_t TimeOfDay(const CdlgBreakTimed& editor) {
    return editor.m_nHour * 3600 + editor.m_nMinute * 60;
}

}  // namespace

CppWizardBreaks::CppWizardBreaks(const rw::WindowServices& services)
    : CppWizardBase(services.productName.c_str(), IDD_WIZARD_BREAKS, kHelpContext),
      services_(services),
      texts_(services.seams.locale) {
    ShowChoice(rw::DefaultBreakChoice());
    m_nKind = nsHalden::PAGE_SETTINGS;
    SetHeaderTitle(rw::ResourceText(IDS_BREAKS_HEADER_TITLE));
    // The sheet draws the subtitle with access-key processing: "&&" shows the text's "&".
    std::wstring subtitle;
    for (wchar_t c : rw::ResourceText(IDS_BREAKS_HEADER_SUBTITLE))
        subtitle += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    SetHeaderSubtitle(subtitle);
}

void CppWizardBreaks::ShowChoice(const rw::BreakChoice& choice) {
    m_bEnabled = choice.enabled;
    m_nWorkMinutes = static_cast<std::int16_t>(choice.workMinutes);
    m_nRestMinutes = static_cast<std::int16_t>(choice.restMinutes);
}

rw::BreakChoice CppWizardBreaks::Choice() const {
    return rw::ClampedChoice({m_bEnabled, m_nWorkMinutes, m_nRestMinutes});
}

HWND CppWizardBreaks::List() const {
    return Item(IDC_PLANNED_LIST);
}

void CppWizardBreaks::ExchangeData(rw::DataExchange& dx) {
    dx.Int16(IDC_WORK_MINUTES, m_nWorkMinutes);
    dx.Int16(IDC_REST_MINUTES, m_nRestMinutes);
    dx.Text(IDC_DESCRIPTION, m_strSummary);
    dx.Check(IDC_BREAKS_ENABLE, m_bEnabled);
}

rw::InitFocus CppWizardBreaks::OnInitDialog() {
    updating_ = true;
    const rw::InitFocus focus = CppWizardBase::OnInitDialog();
    const rw::BreakSettings stored = rw::LoadBreakSettings(services_.identity);
    m_bEnableLocked = stored.enableLocked;
    m_bPeriodsLocked = stored.periodsLocked;
    // A locked control shows what the policy enforces, not the page's default.
    if (m_bEnableLocked) m_bEnabled = stored.choice.enabled;
    if (m_bPeriodsLocked) {
        m_nWorkMinutes = static_cast<std::int16_t>(stored.choice.workMinutes);
        m_nRestMinutes = static_cast<std::int16_t>(stored.choice.restMinutes);
    }
    SetUpSliders();
    SetUpList();
    ShowPlannedRows();
    SetItemText(IDC_PLANNED_HINT, ItemText(IDC_PLANNED_HINT) + rw::ResourceText(IDS_PLANNED_EXAMPLES));
    for (int arrows : {IDC_WORK_ARROWS, IDC_REST_ARROWS}) {
        SendMessageW(Item(arrows), UDM_SETRANGE32, kArrowRangeLow, kArrowRangeHigh);
        SendMessageW(Item(arrows), UDM_SETPOS32, 0, kArrowPosition);
    }
    updating_ = false;
    UpdateControls(false, false);
    return focus;
}

void CppWizardBreaks::SetUpSliders() {
    const rw::BreakChoice shown = Choice();
    const struct {
        int id;
        rw::PeriodLimits limits;
        int step, position;
    } sliders[] = {{IDC_WORK_SLIDER, rw::WorkLimits(), kWorkStep, shown.workMinutes},
                   {IDC_REST_SLIDER, rw::RestLimits(), kRestStep, shown.restMinutes}};
    for (const auto& s : sliders) {
        HWND slider = Item(s.id);
        SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(s.limits.min, s.limits.max));
        SendMessageW(slider, TBM_SETTICFREQ, static_cast<WPARAM>(s.step), 0);
        SendMessageW(slider, TBM_SETPAGESIZE, 0, s.step);
        SendMessageW(slider, TBM_SETPOS, TRUE, s.position);
    }
}

void CppWizardBreaks::SetUpList() {
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list, &client);
    const int timeWidth = rw::TextWidth(list, L"   99:99 am   ");
    const int daysWidth = rw::TextWidth(list, L"   Mon,Tue,Wed,Thr,Sat,Sun   ");
    const int titleWidth =
        std::max(0, static_cast<int>(client.right) - timeWidth - daysWidth - GetSystemMetrics(SM_CXVSCROLL));
    const struct {
        UINT text;
        int width;
    } columns[] = {{IDS_COLUMN_TIME, timeWidth}, {IDS_COLUMN_TITLE, titleWidth}, {IDS_COLUMN_DAYS, daysWidth}};
    int index = 0;
    for (const auto& c : columns) {
        std::wstring text = rw::ResourceText(c.text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text.data();
        column.cx = c.width;
        ListView_InsertColumn(list, index++, &column);
    }
}

void CppWizardBreaks::ShowPlannedRows() {
    // Without planned breaks the part stays hidden behind its button.
    if (m_listPlanned.empty()) return;
    m_bPlannedShown = true;
    // The rows own copies until Finish; the list stays as given for a page that is cancelled.
    rw::CPlannedBreakList rows;
    rows.CopyFrom(m_listPlanned);
    while (!rows.empty()) AddRow(rows.RemoveAt(0));
    if (ListView_GetItemCount(List()) > 0) {
        ListView_SetItemState(List(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(List(), 0, FALSE);
    }
}

void CppWizardBreaks::ClampPeriods() {
    ShowChoice(Choice());
}

void CppWizardBreaks::UpdateDescription() {
    m_strSummary = rw::DescribeBreakChoice(Choice());
}

// A typed value outside the range leaves the thumb at the nearest end, not off the track.
void CppWizardBreaks::SetSliderPositions() {
    const rw::BreakChoice shown = Choice();
    SendMessageW(Item(IDC_WORK_SLIDER), TBM_SETPOS, TRUE, shown.workMinutes);
    SendMessageW(Item(IDC_REST_SLIDER), TBM_SETPOS, TRUE, shown.restMinutes);
}

void CppWizardBreaks::UpdateControls(bool clamp, bool read) {
    if (updating_ || !hwnd()) return;
    updating_ = true;
    // A field that does not parse keeps the member; the member's value goes back into it.
    if (read) UpdateData(rw::Direction::FromControls);
    if (clamp) ClampPeriods();
    UpdateDescription();
    UpdateData(rw::Direction::ToControls);
    SetSliderPositions();

    if (m_bEnableLocked) EnableItem(IDC_BREAKS_ENABLE, false);
    const bool on = m_bEnabled;
    const bool periods = on && !m_bPeriodsLocked;
    for (int id :
         {IDC_WORK_SLIDER, IDC_REST_SLIDER, IDC_WORK_MINUTES, IDC_REST_MINUTES, IDC_WORK_ARROWS, IDC_REST_ARROWS}) {
        EnableItem(id, periods);
    }
    EnableItem(IDC_BREAKS_PERIODS_HINT, on);

    const bool selected = ListView_GetSelectedCount(List()) > 0;
    for (int id : {IDC_PLANNED_LIST, IDC_PLANNED_ADD, IDC_PLANNED_EDIT, IDC_PLANNED_DELETE, IDC_PLANNED_LABEL}) {
        ShowItem(id, m_bPlannedShown);
    }
    EnableItem(IDC_PLANNED_LIST, m_bPlannedShown && on);
    EnableItem(IDC_PLANNED_ADD, m_bPlannedShown && on);
    EnableItem(IDC_PLANNED_EDIT, m_bPlannedShown && selected && on);
    EnableItem(IDC_PLANNED_DELETE, m_bPlannedShown && selected && on);
    ShowItem(IDC_PLANNED_HINT, !m_bPlannedShown);
    ShowItem(IDC_PLANNED_SHOW, !m_bPlannedShown);
    EnableItem(IDC_PLANNED_SHOW, !m_bPlannedShown && on);
    updating_ = false;
}

rw::MessageResult CppWizardBreaks::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_NOTIFY:
            if (const rw::MessageResult result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return result;
            break;
        case WM_HSCROLL: OnSlider(reinterpret_cast<HWND>(lParam)); return 0;
    }
    return CppWizardBase::Route(message, wParam, lParam);
}

bool CppWizardBreaks::OnCommand(UINT id, UINT code) {
    switch (id) {
        case IDC_BREAKS_ENABLE:
            if (code != BN_CLICKED) return false;
            UpdateControls(false, true);
            return true;
        case IDC_WORK_MINUTES:
        case IDC_REST_MINUTES:
            if (code == EN_CHANGE) {
                OnMinutesTyped(static_cast<int>(id));
            } else if (code == EN_KILLFOCUS) {
                OnMinutesLeft(static_cast<int>(id));
            } else {
                return false;
            }
            return true;
        case IDC_PLANNED_SHOW:
            if (code != BN_CLICKED) return false;
            m_bPlannedShown = true;
            UpdateControls(false, false);
            return true;
        case IDC_PLANNED_ADD:
            if (code != BN_CLICKED) return false;
            OnAdd();
            return true;
        case IDC_PLANNED_EDIT:
            if (code != BN_CLICKED) return false;
            OnEdit();
            return true;
        case IDC_PLANNED_DELETE:
            if (code != BN_CLICKED) return false;
            OnDelete();
            return true;
    }
    return false;
}

rw::MessageResult CppWizardBreaks::OnNotify(const NMHDR& header) {
    switch (header.idFrom) {
        case IDC_WORK_ARROWS:
        case IDC_REST_ARROWS:
            if (header.code != UDN_DELTAPOS) break;
            OnArrows(static_cast<int>(header.idFrom), reinterpret_cast<const NMUPDOWN&>(header).iDelta);
            return TRUE;  // the page keeps the value; the control's position stays put
        case IDC_PLANNED_LIST:
            if (header.code == LVN_ITEMCHANGED) {
                if (!updating_) UpdateControls(false, false);
                return 0;
            }
            if (header.code == NM_DBLCLK) {
                if (SelectedRow() >= 0) OnEdit();
                return 0;
            }
            break;
    }
    return rw::kNotHandled;
}

std::optional<std::int16_t> CppWizardBreaks::TypedMinutes(int field) const {
    const auto value = rw::ParseInteger(ItemText(field), INT16_MIN, INT16_MAX);
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

// While the user types, a field that is empty or half typed ("", "-") is no error: the member
// and the summary follow each text that is a number, and the field is left as typed.
void CppWizardBreaks::OnMinutesTyped(int field) {
    if (updating_) return;
    const auto typed = TypedMinutes(field);
    if (!typed) return;
    (field == IDC_WORK_MINUTES ? m_nWorkMinutes : m_nRestMinutes) = *typed;
    updating_ = true;
    UpdateDescription();
    SetItemText(IDC_DESCRIPTION, m_strSummary);
    SetSliderPositions();
    updating_ = false;
}

// Leaving the field settles it: a number is clamped; anything else gives way to the last
// number the field held.
void CppWizardBreaks::OnMinutesLeft(int field) {
    if (updating_) return;
    if (const auto typed = TypedMinutes(field)) (field == IDC_WORK_MINUTES ? m_nWorkMinutes : m_nRestMinutes) = *typed;
    UpdateControls(true, false);
}

void CppWizardBreaks::OnArrows(int arrows, int delta) {
    if (updating_) return;
    const int field = arrows == IDC_WORK_ARROWS ? IDC_WORK_MINUTES : IDC_REST_MINUTES;
    std::int16_t& minutes = field == IDC_WORK_MINUTES ? m_nWorkMinutes : m_nRestMinutes;
    if (const auto typed = TypedMinutes(field)) minutes = *typed;
    // The upper arrow reports a negative delta: subtracting it adds a minute.
    minutes = static_cast<std::int16_t>(minutes - delta);
    UpdateControls(true, false);
}

void CppWizardBreaks::OnSlider(HWND slider) {
    if (updating_) return;
    const bool work = slider == Item(IDC_WORK_SLIDER);
    if (!work && slider != Item(IDC_REST_SLIDER)) return;
    updating_ = true;
    UpdateData(rw::Direction::FromControls);
    const auto position = static_cast<std::int16_t>(SendMessageW(slider, TBM_GETPOS, 0, 0));
    (work ? m_nWorkMinutes : m_nRestMinutes) = position;
    UpdateDescription();
    UpdateData(rw::Direction::ToControls);
    updating_ = false;
}

void CppWizardBreaks::OnAdd() {
    CdlgBreakTimed editor(services_.seams.locale, services_.seams.calendar);
    if (editor.RunModal(SheetWindow()) == IDOK) {
        try {
            BreakDays days{};
            // The editor's days run Monday to Sunday, the record's Sunday to Saturday.
            for (size_t i = 0; i < 7; ++i) days[(i + 1) % 7] = editor.m_bDays[i];
            auto record = std::make_unique<CBreakTimed>();
            record->m_strTitle = editor.m_strTitle;
            record->m_nTimeOfDay = TimeOfDay(editor);
            record->m_bDays = days;
            const CBreakTimed* added = record.get();
            AddRow(std::move(record));
            LVFINDINFOW find{};
            find.flags = LVFI_PARAM;
            find.lParam = reinterpret_cast<LPARAM>(added);
            const int row = ListView_FindItem(List(), -1, &find);
            if (row >= 0) {
                ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
                ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(List(), row, FALSE);
            }
        } catch (const std::exception&) {
            // The row is not added; the page is refreshed as usual.
        }
    }
    UpdateControls(false, false);
}

void CppWizardBreaks::OnEdit() {
    const int row = SelectedRow();
    CBreakTimed* record = RecordOfRow(row);
    if (!record) return;
    CdlgBreakTimed editor(services_.seams.locale, services_.seams.calendar);
    editor.m_strTitle = record->m_strTitle;
    editor.m_nHour = record->ClockHour();
    editor.m_nMinute = record->ClockMinute();
    for (size_t i = 0; i < 7; ++i) editor.m_bDays[i] = record->m_bDays[(i + 1) % 7];
    if (editor.RunModal(SheetWindow()) == IDOK) {
        record->m_strTitle = editor.m_strTitle;
        record->m_nTimeOfDay = TimeOfDay(editor);
        for (size_t i = 0; i < 7; ++i) record->m_bDays[(i + 1) % 7] = editor.m_bDays[i];
        RefreshRow(row);
    }
    UpdateControls(false, false);
}

void CppWizardBreaks::OnDelete() {
    HWND list = List();
    updating_ = true;
    for (int row = ListView_GetItemCount(list) - 1; row >= 0; --row) {
        if (!(ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        const CBreakTimed* record = RecordOfRow(row);
        ListView_DeleteItem(list, row);
        rowRecords_.erase(std::remove_if(rowRecords_.begin(), rowRecords_.end(),
                                         [record](const auto& owned) { return owned.get() == record; }),
                          rowRecords_.end());
    }
    updating_ = false;
    UpdateControls(false, false);
}

int CppWizardBreaks::AddRow(std::unique_ptr<CBreakTimed> record) {
    HWND list = List();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(list);
    std::wstring time = texts_.TimeText(*record);
    item.pszText = time.data();
    item.lParam = reinterpret_cast<LPARAM>(record.get());
    const int row = ListView_InsertItem(list, &item);
    if (row < 0) return -1;
    rowRecords_.push_back(std::move(record));
    RefreshRow(row);
    return row;
}

void CppWizardBreaks::RefreshRow(int row) {
    const CBreakTimed* record = RecordOfRow(row);
    if (!record) return;
    HWND list = List();
    std::wstring time = texts_.TimeText(*record);
    std::wstring title = record->m_strTitle;
    std::wstring days = texts_.DaysText(*record);
    ListView_SetItemText(list, row, 0, time.data());
    ListView_SetItemText(list, row, 1, title.data());
    ListView_SetItemText(list, row, 2, days.data());
    SortRows();
}

void CppWizardBreaks::SortRows() {
    // LVM_SORTITEMS on the records in lParam (Wine's LVM_SORTITEMSEX sorts wrongly).
    ListView_SortItems(List(), CompareTimeOfDay, 0);
}

CBreakTimed* CppWizardBreaks::RecordOfRow(int row) const {
    if (row < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(List(), &item)) return nullptr;
    return reinterpret_cast<CBreakTimed*>(item.lParam);
}

int CppWizardBreaks::SelectedRow() const {
    return ListView_GetNextItem(List(), -1, LVNI_SELECTED);
}

bool CppWizardBreaks::OnWizardFinish() {
    if (hwnd()) {
        if (!UpdateData(rw::Direction::FromControls)) return false;
        // A value typed out of range is never stored.
        ClampPeriods();
        UpdateControls(false, false);
    } else {
        ClampPeriods();
    }
    const SettingsIdentity& identity = services_.identity;
    // A locked value is the policy's: the user's own stays stored for when it is lifted.
    rw::SaveBreakChoice(identity, {Choice(), m_bEnableLocked, m_bPeriodsLocked});
    if (m_bPlannedShown && hwnd()) {
        m_listPlanned.Clear();
        HWND list = List();
        const int count = ListView_GetItemCount(list);
        for (int row = 0; row < count; ++row) {
            const CBreakTimed* record = RecordOfRow(row);
            const auto owned = std::find_if(rowRecords_.begin(), rowRecords_.end(),
                                            [record](const auto& r) { return r.get() == record; });
            if (owned != rowRecords_.end()) m_listPlanned.Insert(std::move(*owned));
        }
        rw::SavePlannedBreakList(identity, m_listPlanned);
        updating_ = true;
        ListView_DeleteAllItems(list);
        updating_ = false;
        rowRecords_.clear();
    }
    return true;
}

}  // namespace rw
