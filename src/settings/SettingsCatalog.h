// Every registry value the program reads or writes: where it lives, its type, where it is
// read from, its default and how it is clamped.
#pragma once
#include <cstdint>
#include <string>

#include "settings/BreakChoice.h"
#include "settings/SettingsStore.h"

namespace rw {

enum class SettingKey { UserProduct, UserBreaks, MachineService };
enum class SettingType { Dword, Sz, Bin8 };
// Where a read looks: plain key only, policy first then plain (overlay), or policy only.
enum class SettingSource { User, UserOverlay, UserPolicy, Machine, MachineOverlay, MachinePolicy, BrandGroup, HealthGroup };
// Range handling of a DWORD: Clamp to min..max, ZeroOutside (anything outside min..max reads
// as 0), CapAtMax (above max reads as max), Flag (any value but 0 reads as 1).
enum class SettingRange { None, Clamp, ZeroOutside, CapAtMax, Flag };

enum class Setting {
    Enable, Work, Rest, Score, TimeActiveLast, TimeWorkStart, Timed, TimedEntry,
    NotificationStyle, NotificationSound, NewsPopup, UpgradePopupOpts, EcoMode, Welcome, NewsLast,
    HideOptions, HideUpgrade, HideNews,
    DisableWelcomeNewUsers, BrandDisabled, BrandTitle, BrandImage,
    BrandHealthDisabled, BrandHealthTitle, BrandHealthContents, BrandHealthLink,
    UpgradeCheck, UpgradeVersion, UpgradeUrl, UpgradeType, NewsVersion, NewsUrl,
    Count
};

struct SettingInfo {
    Setting setting;
    SettingKey key;
    const wchar_t* name;  // "Timed-%d" is a pattern with the entry number
    SettingType type;
    SettingSource source;
    std::uint32_t defaultValue;  // DWORDs
    SettingRange range;
    std::uint32_t min, max;      // DWORD range
    std::uint32_t maxChars;      // strings, without the terminator
};

const SettingInfo& SettingInfoOf(Setting setting);

const wchar_t* SectionOf(SettingKey key);  // null, "Breaks" or "Service"
rw::RootKey PlainRootOf(SettingKey key);     // HKCU or HKLM

// Every read takes the key, the source, the type, the default, the range and the length
// from the setting's row.

// A DWORD by its catalogue entry: the default when missing or unreadable, then the range
// rule. fromPolicy reports where a successful read came from.
std::uint32_t ReadSettingDword(const SettingsIdentity& identity, Setting setting, bool* fromPolicy = nullptr);
// The stored DWORD after the range rule, without the default: value is replaced only when the
// read succeeds.
bool ReadSettingDwordIfStored(const SettingsIdentity& identity, Setting setting, std::uint32_t& value);
// The stored DWORD as it is, without default or range rule; value is replaced only when the
// read succeeds.
bool ReadSettingDwordRaw(const SettingsIdentity& identity, Setting setting, std::uint32_t& value,
                         bool* fromPolicy = nullptr);
// A branding group's switch ("BrandDisabled" or "BrandHealthDisabled"): the group's texts are
// read from the policy key when the switch was read there, and only when it is 0 or missing.
struct BrandingGroupSwitch {
    bool disabled = false;  // the stored DWORD is not 0
    bool fromPolicy = false;
    bool read = false;
    bool textsEnabled() const { return !disabled; }
    // Options pages lock the group's controls when the switch is set in policy or non-zero anywhere.
    bool locked() const { return fromPolicy || disabled; }
};
BrandingGroupSwitch ReadBrandingSwitch(const SettingsIdentity& identity, Setting groupSwitch);
// The switch that rules a text of a branding group (BrandDisabled for BrandTitle).
Setting GroupSwitchOf(Setting setting);
// A string by its catalogue entry, cut to its maximum length; "" when missing. A text of a
// branding group reads its switch first and follows it.
std::wstring ReadSettingString(const SettingsIdentity& identity, Setting setting);
// A text of a branding group with its switch already read.
// capacity: characters read at most (0: the value's own limit, so a longer value reads as none).
std::wstring ReadGroupText(const SettingsIdentity& identity, Setting setting, const BrandingGroupSwitch& group,
                           std::uint32_t capacity = 0);
// An 8-byte value; false when missing or not exactly 8 bytes.
bool ReadSettingInt64(const SettingsIdentity& identity, Setting setting, std::int64_t& value);

// Writes always go to the plain key of the entry's hive.
rw::HResult WriteSettingDword(const SettingsIdentity& identity, Setting setting, std::uint32_t value);
rw::HResult WriteSettingString(const SettingsIdentity& identity, Setting setting, const std::wstring& text);
rw::HResult WriteSettingInt64(const SettingsIdentity& identity, Setting setting, std::int64_t value);

// What a "HideOptions", "HideUpgrade" or "HideNews" policy value does to its button:
// non-zero disables it, 2 also hides it.
struct PolicyButtonState {
    bool enabled;
    bool visible;
};
constexpr PolicyButtonState ButtonStateForHideValue(std::uint32_t hide) { return {hide == 0, hide != 2}; }

// "Timed-%d" for entry n.
std::wstring TimedEntryName(int n);
// Planned break n's stored text (at most one character over the limit, so that a longer one
// shows), and its write; a refused write is kept for the run like any other setting's.
std::wstring ReadTimedEntry(const SettingsIdentity& identity, int n);
rw::HResult WriteTimedEntry(const SettingsIdentity& identity, int n, const std::wstring& text);

// Work and rest periods in minutes after the swap rule and the clamps.
struct BreakPeriods {
    int workMinutes;
    int restMinutes;
};
BreakPeriods ApplyBreakPeriodRules(std::uint32_t workMinutes, std::uint32_t restMinutes, bool workFromPolicy);

// The break settings as stored ("Enable", "Work", "Rest"), after the catalogue's rules, and
// which of them the user policy enforces.
struct BreakSettings {
    BreakChoice choice;
    bool enableLocked;   // "Enable" present in the user policy key
    bool periodsLocked;  // "Work" present in the user policy key
};
BreakSettings LoadBreakSettings(const SettingsIdentity& identity);
// Stores a choice; a locked value is the policy's, and the user's own stays as it was.
void SaveBreakChoice(const SettingsIdentity& identity, const BreakSettings& settings);

}  // namespace rw
