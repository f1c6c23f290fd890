#include "ui/wizard/BreakTimedEditor.h"

#include <commctrl.h>

#include <algorithm>

#include "core/ResourceString.h"
#include "framework/Application.h"
#include "res/resource.h"

namespace rw {

CdlgBreakTimed::CdlgBreakTimed(Locale& locale, Calendar& calendar)
    : Dialog(IDD_BREAK_TIMED), locale_(locale), calendar_(calendar) {}

void CdlgBreakTimed::ExchangeData(DataExchange& dx) {
    ExchangeTime(dx);
    for (int i = 0; i < 7; ++i) dx.Check(IDC_TIMED_MONDAY + i, m_bDays[static_cast<size_t>(i)]);
    dx.Text(IDC_TIMED_TITLE, m_strTitle);
}

InitFocus CdlgBreakTimed::OnInitDialog() {
    SetTimeFormat();
    SetDefaultTime();
    const InitFocus focus = Dialog::OnInitDialog();
    SendMessageW(Item(IDC_TIMED_TITLE), EM_LIMITTEXT, kTitleMax, 0);
    SetDayNames();
    return focus;
}

// A 12-hour locale ("t" marks AM/PM) gets "h:mm tt", any other " HH:mm".
void CdlgBreakTimed::SetTimeFormat() {
    const std::wstring localeFormat = locale_.TimeFormat();
    const std::wstring format = localeFormat.find(L't') != std::wstring::npos ? ResourceText(IDS_TIME_FORMAT_12)
                                                                              : L" " + ResourceText(IDS_TIME_FORMAT_24);
    SendMessageW(Item(IDC_TIMED_TIME), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));
}

// A new entry starts at the next quarter hour strictly after now.
void CdlgBreakTimed::SetDefaultTime() {
    if (m_nHour != -1) return;
    const std::int64_t now = calendar_.Now();
    const auto local = calendar_.ToLocal(now);
    const int minute = local ? local->minute : -1;
    const auto next = calendar_.ToLocal(now + (15 - minute % 15) * 60);
    m_nHour = next ? next->hour : 0;
    m_nMinute = next ? next->minute : 0;
}

// The picker holds only a time of day; its date part (today's, so the control accepts it) is
// never read.
void CdlgBreakTimed::ExchangeTime(DataExchange& dx) {
    HWND picker = Item(IDC_TIMED_TIME);
    SYSTEMTIME value{};
    if (dx.reading()) {
        if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID) return;
        m_nHour = value.wHour;
        m_nMinute = value.wMinute;
        return;
    }
    GetLocalTime(&value);
    value.wHour = static_cast<WORD>(std::clamp(m_nHour, 0, 23));
    value.wMinute = static_cast<WORD>(std::clamp(m_nMinute, 0, 59));
    value.wSecond = 0;
    value.wMilliseconds = 0;
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

// An English system keeps the captions with their access keys; any other shows the
// locale's day names.
void CdlgBreakTimed::SetDayNames() {
    std::wstring monday = ItemText(IDC_TIMED_MONDAY);
    monday.erase(std::remove(monday.begin(), monday.end(), L'&'), monday.end());
    if (monday == locale_.DayName(1)) return;
    for (int i = 0; i < 7; ++i) SetItemText(IDC_TIMED_MONDAY + i, locale_.DayName((i + 1) % 7));
}

void CdlgBreakTimed::OnOK() {
    if (!UpdateData(Direction::FromControls)) return;
    if (m_strTitle.empty()) {
        rw::MessageBoxFromString(hwnd(), IDS_ENTER_TITLE);
        SetFocus(Item(IDC_TIMED_TITLE));
        return;
    }
    bool anyDay = false;
    for (bool day : m_bDays) anyDay = anyDay || day;
    if (!anyDay) {
        rw::MessageBoxFromString(hwnd(), IDS_SELECT_DAYS);
        return;
    }
    End(IDOK);
}

}  // namespace rw
