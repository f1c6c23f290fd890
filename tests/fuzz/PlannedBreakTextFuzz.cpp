// libFuzzer target for the stored text of a planned break: any text parses to a record that
// is valid exactly when the text is well formed, a valid record writes a text that reads back
// as the same record, and any record writes a bounded text that reloads to the same days,
// title and clock time.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "engine/BreakTimed.h"

using rw::CBreakTimed;
using rw::kBreakTimedTextMax;
using rw::kBreakTimedTitleMax;
using rw::kBreakTimedTitleOffset;
using rw::fuzz::Require;

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool SameRecord(const CBreakTimed& a, const CBreakTimed& b) {
    return a.m_bInvalid == b.m_bInvalid && a.m_strTitle == b.m_strTitle && a.m_nTimeOfDay == b.m_nTimeOfDay &&
           a.m_bDays == b.m_bDays;
}

// Text → record → text.
void CheckText(const std::wstring& text) {
    const CBreakTimed record = CBreakTimed::FromText(text);
    const bool framed =
        text.size() > kBreakTimedTitleOffset && text[0] == L'0' && text[8] == L',' && text[13] == L',';
    const bool digits = framed && IsDigit(text[9]) && IsDigit(text[10]) && IsDigit(text[11]) && IsDigit(text[12]);
    const int hours = digits ? (text[9] - L'0') * 10 + (text[10] - L'0') : -1;
    const int minutes = digits ? (text[11] - L'0') * 10 + (text[12] - L'0') : -1;
    // A time of day is 00:00 to 23:59; anything else is no time, and the entry is invalid.
    const bool wellFormed = digits && hours <= 23 && minutes <= 59;
    bool anyDay = false;
    for (size_t day = 0; wellFormed && day < 7; ++day) anyDay |= text[1 + day] == L'Y';
    Require(record.IsValid() == (wellFormed && anyDay));
    Require(record.m_bInvalid == !record.IsValid());
    if (!wellFormed) return;

    for (size_t day = 0; day < 7; ++day) Require(record.m_bDays[day] == (text[1 + day] == L'Y'));
    Require(record.m_strTitle == text.substr(kBreakTimedTitleOffset));
    Require(record.m_nTimeOfDay == hours * 3600 + minutes * 60);
    if (!record.IsValid()) return;

    const std::wstring written = record.ToText();
    Require(written.size() <= kBreakTimedTextMax);
    if (record.m_strTitle.size() <= kBreakTimedTitleMax) {
        Require(SameRecord(CBreakTimed::FromText(written), record));
        bool plainDays = true;
        for (size_t day = 0; day < 7; ++day) plainDays &= text[1 + day] == L'Y' || text[1 + day] == L'N';
        if (plainDays) Require(written == text);
    } else {
        Require(CBreakTimed::FromText(written).m_strTitle == record.m_strTitle.substr(0, kBreakTimedTitleMax));
    }
}

// Record → text → record, for any days, whole-minute time and title.
void CheckRecord(const std::uint8_t* data, size_t size) {
    if (size < 5) return;
    CBreakTimed record;
    for (size_t day = 0; day < 7; ++day) record.m_bDays[day] = (data[0] >> day) & 1;
    std::int32_t time = 0;
    std::memcpy(&time, data + 1, sizeof time);
    record.m_nTimeOfDay = time / 60 * 60;
    record.m_strTitle = rw::fuzz::Utf16Of(data + 5, size - 5);

    const std::wstring written = record.ToText();
    Require(written.size() <= kBreakTimedTextMax);
    if (record.m_strTitle.empty()) return;  // nothing to read back: the record has no title
    const CBreakTimed read = CBreakTimed::FromText(written);
    Require(read.m_bDays == record.m_bDays);
    Require(read.m_strTitle == record.m_strTitle.substr(0, kBreakTimedTitleMax));
    Require(read.ClockHour() == record.ClockHour() && read.ClockMinute() == record.ClockMinute());
    // Whatever the record held, the text carries its clock time, which reads back as itself.
    Require(read.m_nTimeOfDay == record.ClockHour() * 3600 + record.ClockMinute() * 60);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    CheckText(rw::fuzz::Utf16Of(data, size));
    CheckRecord(data, size);
    return 0;
}
