#include "settings/SettingsCatalog.h"

#include <cwchar>

#include "settings/UnsavedSettings.h"

namespace rw {

namespace {

using K = SettingKey;
using T = SettingType;
using S = SettingSource;
using R = SettingRange;
using Id = Setting;

// One row per value: setting, key, name, type, read from, default, range rule, min, max, max characters.
const SettingInfo kCatalog[] = {
    {Id::Enable,                 K::UserBreaks,     L"Enable",                 T::Dword, S::UserOverlay,    1,  R::None,        0,  0,   0},
    {Id::Work,                   K::UserBreaks,     L"Work",                   T::Dword, S::UserOverlay,    55, R::Clamp,       30, 120, 0},
    {Id::Rest,                   K::UserBreaks,     L"Rest",                   T::Dword, S::UserOverlay,    5,  R::Clamp,       3,  30,  0},
    {Id::Score,                  K::UserBreaks,     L"Score",                  T::Dword, S::User,           50, R::CapAtMax,    0,  100, 0},
    {Id::TimeActiveLast,         K::UserBreaks,     L"TimeActiveLast",         T::Bin8,  S::User,           0,  R::None,        0,  0,   0},
    {Id::TimeWorkStart,          K::UserBreaks,     L"TimeWorkStart",          T::Bin8,  S::User,           0,  R::None,        0,  0,   0},
    {Id::Timed,                  K::UserBreaks,     L"Timed",                  T::Dword, S::User,           0,  R::None,        0,  0,   0},
    {Id::TimedEntry,             K::UserBreaks,     L"Timed-%d",               T::Sz,    S::User,           0,  R::None,        0,  0,   259},
    {Id::NotificationStyle,      K::UserProduct,    L"NotificationStyle",      T::Dword, S::UserOverlay,    2,  R::ZeroOutside, 0,  3,   0},
    {Id::NotificationSound,      K::UserProduct,    L"NotificationSound",      T::Sz,    S::UserOverlay,    0,  R::None,        0,  0,   259},
    {Id::NewsPopup,              K::UserProduct,    L"NewsPopup",              T::Dword, S::UserOverlay,    1,  R::None,        0,  0,   0},
    {Id::UpgradePopupOpts,       K::UserProduct,    L"UpgradePopupOpts",       T::Dword, S::UserOverlay,    1,  R::None,        0,  0,   0},
    {Id::EcoMode,                K::UserProduct,    L"EcoMode",                T::Dword, S::UserOverlay,    0,  R::Flag,        0,  0,   0},
    {Id::Welcome,                K::UserProduct,    L"Welcome",                T::Dword, S::User,           0,  R::None,        0,  0,   0},
    {Id::NewsLast,               K::UserProduct,    L"NewsLast",               T::Bin8,  S::User,           0,  R::None,        0,  0,   0},
    {Id::HideOptions,            K::UserProduct,    L"HideOptions",            T::Dword, S::UserPolicy,     0,  R::None,        0,  0,   0},
    {Id::HideUpgrade,            K::UserProduct,    L"HideUpgrade",            T::Dword, S::UserPolicy,     0,  R::None,        0,  0,   0},
    {Id::HideNews,               K::UserProduct,    L"HideNews",               T::Dword, S::UserPolicy,     0,  R::None,        0,  0,   0},
    {Id::DisableWelcomeNewUsers, K::MachineService, L"DisableWelcomeNewUsers", T::Dword, S::MachinePolicy,  0,  R::None,        0,  0,   0},
    {Id::BrandDisabled,          K::MachineService, L"BrandDisabled",          T::Dword, S::MachineOverlay, 0,  R::None,        0,  0,   0},
    {Id::BrandTitle,             K::MachineService, L"BrandTitle",             T::Sz,    S::BrandGroup,     0,  R::None,        0,  0,   80},
    {Id::BrandImage,             K::MachineService, L"BrandImage",             T::Sz,    S::BrandGroup,     0,  R::None,        0,  0,   259},
    {Id::BrandHealthDisabled,    K::MachineService, L"BrandHealthDisabled",    T::Dword, S::MachineOverlay, 0,  R::None,        0,  0,   0},
    {Id::BrandHealthTitle,       K::MachineService, L"BrandHealthTitle",       T::Sz,    S::HealthGroup,    0,  R::None,        0,  0,   80},
    {Id::BrandHealthContents,    K::MachineService, L"BrandHealthContents",    T::Sz,    S::HealthGroup,    0,  R::None,        0,  0,   1024},
    {Id::BrandHealthLink,        K::MachineService, L"BrandHealthLink",        T::Sz,    S::HealthGroup,    0,  R::None,        0,  0,   2082},
    {Id::UpgradeCheck,           K::MachineService, L"UpgradeCheck",           T::Bin8,  S::Machine,        0,  R::None,        0,  0,   0},
    {Id::UpgradeVersion,         K::MachineService, L"UpgradeVersion",         T::Bin8,  S::Machine,        0,  R::None,        0,  0,   0},
    {Id::UpgradeUrl,             K::MachineService, L"UpgradeUrl",             T::Sz,    S::Machine,        0,  R::None,        0,  0,   2082},
    {Id::UpgradeType,            K::MachineService, L"UpgradeType",            T::Dword, S::Machine,        0,  R::None,        0,  0,   0},
    {Id::NewsVersion,            K::MachineService, L"NewsVersion",            T::Bin8,  S::Machine,        0,  R::None,        0,  0,   0},
    {Id::NewsUrl,                K::MachineService, L"NewsUrl",                T::Sz,    S::Machine,        0,  R::None,        0,  0,   2082},
};
static_assert(sizeof kCatalog / sizeof kCatalog[0] == static_cast<size_t>(Setting::Count),
              "one catalogue row per setting");

// The root to read a row from; a branding group's text follows the group's switch.
RootKey ReadRootOf(const SettingInfo& info, bool groupFromPolicy = false) {
    switch (info.source) {
        case S::User: return kHkeyCurrentUser;
        case S::UserOverlay: return ROOT_USER_OVERLAY;
        case S::UserPolicy: return ROOT_USER_POLICY;
        case S::Machine: return kHkeyLocalMachine;
        case S::MachineOverlay: return ROOT_MACHINE_OVERLAY;
        case S::MachinePolicy: return ROOT_MACHINE_POLICY;
        case S::BrandGroup:
        case S::HealthGroup:
            if (!groupFromPolicy) return PlainRootOf(info.key);
            return PlainRootOf(info.key) == kHkeyLocalMachine ? ROOT_MACHINE_POLICY : ROOT_USER_POLICY;
    }
    return PlainRootOf(info.key);
}

// The memory's key of a value: its section and its name (the setting's, or a planned break's
// entry's own, "Timed-N").
std::wstring UnsavedKey(const SettingInfo& info, const wchar_t* name) {
    return std::wstring(SectionOf(info.key) ? SectionOf(info.key) : L"") + L"\\" + name;
}

// A value the registry refused this run, unless a policy rules it; by default the setting's
// own name.
template <typename T>
std::optional<T> Unsaved(const SettingsIdentity& identity, const SettingInfo& info, const wchar_t* name = nullptr) {
    if (!identity.unsaved) return std::nullopt;
    if (!name) name = info.name;
    const auto value = identity.unsaved->Find(UnsavedKey(info, name));
    if (!value || !std::holds_alternative<T>(*value)) return std::nullopt;
    const RootKey root = ReadRootOf(info);
    if ((root == ROOT_USER_OVERLAY || root == ROOT_MACHINE_OVERLAY) &&
        SettingsPolicyValueExists(identity, PlainRootOf(info.key), SectionOf(info.key), name)) {
        return std::nullopt;
    }
    return std::get<T>(*value);
}

// Tells the identity's memory of refused writes how a write went.
HResult Remember(const SettingsIdentity& identity, const SettingInfo& info, HResult hr, UnsavedSettings::Value value,
                 const wchar_t* name = nullptr) {
    if (!identity.unsaved) return hr;
    if (!name) name = info.name;
    if (Failed(hr)) {
        identity.unsaved->Refused(UnsavedKey(info, name), name, std::move(value), hr);
    } else {
        identity.unsaved->Stored(UnsavedKey(info, name));
    }
    return hr;
}

std::uint32_t ApplyRange(const SettingInfo& info, std::uint32_t value) {
    switch (info.range) {
        case R::None: break;
        case R::Clamp: return value < info.min ? info.min : (value > info.max ? info.max : value);
        case R::ZeroOutside: return (value < info.min || value > info.max) ? 0 : value;
        case R::CapAtMax: return value > info.max ? info.max : value;
        case R::Flag: return value != 0 ? 1 : 0;
    }
    return value;
}

}  // namespace

const SettingInfo& SettingInfoOf(Setting setting) { return kCatalog[static_cast<size_t>(setting)]; }

const wchar_t* SectionOf(SettingKey key) {
    switch (key) {
        case K::UserProduct: return nullptr;
        case K::UserBreaks: return L"Breaks";
        case K::MachineService: return L"Service";
    }
    return nullptr;
}

RootKey PlainRootOf(SettingKey key) { return key == K::MachineService ? kHkeyLocalMachine : kHkeyCurrentUser; }

bool ReadSettingDwordRaw(const SettingsIdentity& identity, Setting setting, std::uint32_t& value, bool* fromPolicy) {
    const SettingInfo& info = SettingInfoOf(setting);
    if (info.type != T::Dword) return false;
    if (const auto unsaved = Unsaved<std::uint32_t>(identity, info)) {
        value = *unsaved;
        if (fromPolicy) *fromPolicy = false;
        return true;
    }
    std::uint32_t read = 0;
    if (Failed(SettingsGetDword(identity, ReadRootOf(info), false, SectionOf(info.key), info.name, read, fromPolicy))) {
        return false;
    }
    value = read;
    return true;
}

std::uint32_t ReadSettingDword(const SettingsIdentity& identity, Setting setting, bool* fromPolicy) {
    const SettingInfo& info = SettingInfoOf(setting);
    std::uint32_t value = info.defaultValue;
    ReadSettingDwordRaw(identity, setting, value, fromPolicy);
    return ApplyRange(info, value);
}

bool ReadSettingDwordIfStored(const SettingsIdentity& identity, Setting setting, std::uint32_t& value) {
    std::uint32_t stored = 0;
    if (!ReadSettingDwordRaw(identity, setting, stored)) return false;
    value = ApplyRange(SettingInfoOf(setting), stored);
    return true;
}

Setting GroupSwitchOf(Setting setting) {
    return SettingInfoOf(setting).source == S::HealthGroup ? Setting::BrandHealthDisabled : Setting::BrandDisabled;
}

BrandingGroupSwitch ReadBrandingSwitch(const SettingsIdentity& identity, Setting groupSwitch) {
    BrandingGroupSwitch group;
    std::uint32_t stored = SettingInfoOf(groupSwitch).defaultValue;
    group.read = ReadSettingDwordRaw(identity, groupSwitch, stored, &group.fromPolicy);
    group.disabled = stored != 0;
    return group;
}

std::wstring ReadGroupText(const SettingsIdentity& identity, Setting setting, const BrandingGroupSwitch& group,
                           std::uint32_t capacity) {
    const SettingInfo& info = SettingInfoOf(setting);
    std::wstring text;
    if (info.type != T::Sz || !group.textsEnabled()) return text;
    SettingsReadText(identity, ReadRootOf(info, group.fromPolicy), SectionOf(info.key), info.name,
                     capacity ? capacity : info.maxChars + 1, text);
    return text;
}

std::wstring ReadSettingString(const SettingsIdentity& identity, Setting setting) {
    const SettingInfo& info = SettingInfoOf(setting);
    if (info.source == S::BrandGroup || info.source == S::HealthGroup) {
        return ReadGroupText(identity, setting, ReadBrandingSwitch(identity, GroupSwitchOf(setting)));
    }
    std::wstring text;
    if (info.type != T::Sz) return text;
    if (const auto unsaved = Unsaved<std::wstring>(identity, info)) return unsaved->substr(0, info.maxChars);
    SettingsReadText(identity, ReadRootOf(info), SectionOf(info.key), info.name, info.maxChars + 1, text);
    return text;
}

bool ReadSettingInt64(const SettingsIdentity& identity, Setting setting, std::int64_t& value) {
    const SettingInfo& info = SettingInfoOf(setting);
    if (info.type != T::Bin8) return false;
    if (const auto unsaved = Unsaved<std::int64_t>(identity, info)) {
        value = *unsaved;
        return true;
    }
    return SettingsReadInt64(identity, ReadRootOf(info), SectionOf(info.key), info.name, value);
}

HResult WriteSettingDword(const SettingsIdentity& identity, Setting setting, std::uint32_t value) {
    const SettingInfo& info = SettingInfoOf(setting);
    return Remember(identity, info,
                    SettingsSetDword(identity, PlainRootOf(info.key), SectionOf(info.key), info.name, value), value);
}

HResult WriteSettingString(const SettingsIdentity& identity, Setting setting, const std::wstring& text) {
    const SettingInfo& info = SettingInfoOf(setting);
    return Remember(identity, info,
                    SettingsSetString(identity, PlainRootOf(info.key), SectionOf(info.key), info.name, text.c_str()),
                    text);
}

HResult WriteSettingInt64(const SettingsIdentity& identity, Setting setting, std::int64_t value) {
    const SettingInfo& info = SettingInfoOf(setting);
    return Remember(identity, info,
                    SettingsWriteInt64(identity, PlainRootOf(info.key), SectionOf(info.key), info.name, value), value);
}

std::wstring TimedEntryName(int n) { return L"Timed-" + std::to_wstring(n); }

std::wstring ReadTimedEntry(const SettingsIdentity& identity, int n) {
    const SettingInfo& info = SettingInfoOf(Setting::TimedEntry);
    const std::wstring name = TimedEntryName(n);
    if (const auto unsaved = Unsaved<std::wstring>(identity, info, name.c_str())) return *unsaved;
    std::wstring text;
    SettingsReadText(identity, PlainRootOf(info.key), SectionOf(info.key), name.c_str(), info.maxChars + 1, text);
    return text;
}

HResult WriteTimedEntry(const SettingsIdentity& identity, int n, const std::wstring& text) {
    const SettingInfo& info = SettingInfoOf(Setting::TimedEntry);
    const std::wstring name = TimedEntryName(n);
    return Remember(identity, info,
                    SettingsSetString(identity, PlainRootOf(info.key), SectionOf(info.key), name.c_str(), text.c_str()),
                    text, name.c_str());
}

BreakPeriods ApplyBreakPeriodRules(std::uint32_t workMinutes, std::uint32_t restMinutes, bool workFromPolicy) {
    // A work period of 30 or less with a rest of 30 or more is a pair stored the wrong way round.
    if (!workFromPolicy && workMinutes <= 30 && restMinutes >= 30) std::swap(workMinutes, restMinutes);
    const SettingInfo& work = SettingInfoOf(Setting::Work);
    const SettingInfo& rest = SettingInfoOf(Setting::Rest);
    return {static_cast<int>(ApplyRange(work, workMinutes)), static_cast<int>(ApplyRange(rest, restMinutes))};
}

BreakSettings LoadBreakSettings(const SettingsIdentity& identity) {
    BreakSettings settings{};
    std::uint32_t workValue = SettingInfoOf(Setting::Work).defaultValue;
    std::uint32_t restValue = SettingInfoOf(Setting::Rest).defaultValue;
    bool workFromPolicy = false;
    // Work and Rest unclamped: the swap rule looks at the values as stored.
    ReadSettingDwordRaw(identity, Setting::Work, workValue, &workFromPolicy);
    ReadSettingDwordRaw(identity, Setting::Rest, restValue);
    const BreakPeriods periods = ApplyBreakPeriodRules(workValue, restValue, workFromPolicy);
    settings.choice = {ReadSettingDword(identity, Setting::Enable) == 1, periods.workMinutes, periods.restMinutes};
    const auto inPolicy = [&](Setting setting) {
        const SettingInfo& info = SettingInfoOf(setting);
        return SettingsPolicyValueExists(identity, PlainRootOf(info.key), SectionOf(info.key), info.name);
    };
    settings.enableLocked = inPolicy(Setting::Enable);
    settings.periodsLocked = inPolicy(Setting::Work);
    return settings;
}

void SaveBreakChoice(const SettingsIdentity& identity, const BreakSettings& settings) {
    const BreakChoice& choice = settings.choice;
    if (!settings.enableLocked) WriteSettingDword(identity, Setting::Enable, choice.enabled ? 1u : 0u);
    if (!settings.periodsLocked) {
        WriteSettingDword(identity, Setting::Rest, static_cast<std::uint32_t>(choice.restMinutes));
        WriteSettingDword(identity, Setting::Work, static_cast<std::uint32_t>(choice.workMinutes));
    }
}

}  // namespace rw
