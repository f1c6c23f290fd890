#include "settings/BreakChoice.h"

#include "core/ResourceString.h"
#include "res/string_ids.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

PeriodLimits LimitsOf(Setting setting) {
    const SettingInfo& row = SettingInfoOf(setting);
    return {static_cast<int>(row.min), static_cast<int>(row.max), static_cast<int>(row.defaultValue)};
}

}  // namespace

PeriodLimits WorkLimits() {
    return LimitsOf(Setting::Work);
}
PeriodLimits RestLimits() {
    return LimitsOf(Setting::Rest);
}

BreakChoice DefaultBreakChoice() {
    return {SettingInfoOf(Setting::Enable).defaultValue == 1, WorkLimits().defaultMinutes, RestLimits().defaultMinutes};
}

BreakChoice ClampedChoice(BreakChoice choice) {
    choice.workMinutes = WorkLimits().Clamped(choice.workMinutes);
    choice.restMinutes = RestLimits().Clamped(choice.restMinutes);
    return choice;
}

std::wstring DescribeBreakChoice(const BreakChoice& choice) {
    if (!choice.enabled) return ResourceText(IDS_DESCRIPTION_OFF);
    std::wstring text;
    FormatResourceString(text, IDS_DESCRIPTION_ON, {choice.restMinutes, choice.workMinutes});
    return text;
}

}  // namespace rw
