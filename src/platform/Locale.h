// Locale seam: what the planned breaks and the update check need of the user's locale.
#pragma once
#include <string>

namespace rw {

class Locale {
public:
    virtual ~Locale() = default;
    // index 0 = Sunday … 6 = Saturday.
    virtual std::wstring DayName(int index) = 0;
    virtual std::wstring AbbreviatedDayName(int index) = 0;
    virtual std::wstring ListSeparator() = 0;
    // The user's time format pattern (for example "HH:mm:ss" or "h:mm:ss tt").
    virtual std::wstring TimeFormat() = 0;
    // hour 0..23 and minute 0..59 in the user's time format without seconds.
    virtual std::wstring TimeOfDayText(int hour, int minute) = 0;
    // ISO 639 language and ISO 3166 country names ("en", "GB").
    virtual std::wstring IsoLanguage() = 0;
    virtual std::wstring IsoCountry() = 0;
};

}  // namespace rw
