// The locale seam on the user's default locale (GetLocaleInfoW, GetTimeFormatW).
#pragma once
#include "platform/Locale.h"

namespace rw {

class LocaleWin32 final : public Locale {
public:
    std::wstring DayName(int index) override;
    std::wstring AbbreviatedDayName(int index) override;
    std::wstring ListSeparator() override;
    std::wstring TimeFormat() override;
    // Empty when the hour or minute is out of range.
    std::wstring TimeOfDayText(int hour, int minute) override;
    std::wstring IsoLanguage() override;
    std::wstring IsoCountry() override;
};

}  // namespace rw
