// The planned-break editor: a title, a time of day and the weekdays, in the user's locale
// (its time format and, on a non-English system, its day names).
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "framework/Dialog.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

namespace rw {

class CdlgBreakTimed : public Dialog {
public:
    CdlgBreakTimed(Locale& locale, Calendar& calendar);

    // Monday … Sunday, all set for a new entry.
    std::array<bool, 7> m_bDays{true, true, true, true, true, true, true};
    std::wstring m_strTitle;
    // The break's wall-clock time of day, as the picker shows it; -1 = the next quarter hour.
    // Hours and minutes, not a calendar time: a day with a clock change has no fixed
    // distance from midnight to 01:30.
    int m_nHour = -1;
    int m_nMinute = -1;

    static constexpr int kTitleMax = 50;

protected:
    InitFocus OnInitDialog() override;
    void OnOK() override;
    void ExchangeData(DataExchange& dx) override;

private:
    void SetTimeFormat();
    void SetDefaultTime();
    void ExchangeTime(DataExchange& dx);
    void SetDayNames();

    Locale& locale_;
    Calendar& calendar_;
};

}  // namespace rw
