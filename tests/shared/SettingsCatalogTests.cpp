// Catalogue defaults, clamps, the breaks swap rule and the branding routine, against the
// fake registry natively and the real one under Wine.
#include <gtest/gtest.h>

#include "RegistryTestEnv.h"
#include "settings/AppSettings.h"
#include "settings/SettingsCatalog.h"

using namespace rw;
using namespace rw::test;

namespace {

class SettingsCatalog : public RegistryTest {
protected:
    const SettingsIdentity& id = kTestIdentity;

    // A DWORD of the user's own "Breaks" key, as stored (0xFFFFFFFF when missing).
    static std::uint32_t PlainBreaksDword(const wchar_t* name) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), name, type, data) || data.size() != 4) {
            return 0xFFFFFFFFu;
        }
        return data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    }
};

TEST_F(SettingsCatalog, DefaultsWhenNothingIsStored) {
    EXPECT_EQ(ReadSettingDword(id, Setting::Enable), 1u);
    EXPECT_EQ(ReadSettingDword(id, Setting::Work), 55u);
    EXPECT_EQ(ReadSettingDword(id, Setting::Rest), 5u);
    EXPECT_EQ(ReadSettingDword(id, Setting::Score), 50u);
    EXPECT_EQ(ReadSettingDword(id, Setting::NotificationStyle), 2u);
    EXPECT_EQ(ReadSettingDword(id, Setting::NewsPopup), 1u);
    EXPECT_EQ(ReadSettingDword(id, Setting::UpgradePopupOpts), 1u);
    EXPECT_EQ(ReadSettingDword(id, Setting::EcoMode), 0u);
    EXPECT_EQ(ReadSettingDword(id, Setting::Welcome), 0u);
    EXPECT_EQ(ReadSettingDword(id, Setting::Timed), 0u);
    EXPECT_EQ(ReadSettingDword(id, Setting::HideOptions), 0u);
    EXPECT_EQ(ReadSettingDword(id, Setting::DisableWelcomeNewUsers), 0u);
    EXPECT_EQ(ReadSettingString(id, Setting::NotificationSound), L"");
    std::int64_t t = 5;
    EXPECT_FALSE(ReadSettingInt64(id, Setting::TimeActiveLast, t));
    const BreakSettings breaks = LoadBreakSettings(id);
    EXPECT_TRUE(breaks.choice.enabled);
    EXPECT_EQ(breaks.choice.workMinutes, 55);
    EXPECT_EQ(breaks.choice.restMinutes, 5);
    EXPECT_FALSE(breaks.enableLocked);
    EXPECT_FALSE(breaks.periodsLocked);
}

TEST_F(SettingsCatalog, RangeRules) {
    struct Case {
        Setting setting;
        std::uint32_t stored;
        std::uint32_t read;
    };
    const Case cases[] = {
        {Setting::NotificationStyle, 7, 0},
        {Setting::NotificationStyle, 3, 3},
        {Setting::NotificationStyle, 0, 0},
        {Setting::Score, 250, 100},
        {Setting::Score, 0xFFFFFFFFu, 100},
        {Setting::Score, 47, 47},
        {Setting::Work, 10, 30},
        {Setting::Work, 500, 120},
        {Setting::Rest, 1, 3},
        {Setting::Rest, 31, 30},
        {Setting::EcoMode, 2, 1},
        {Setting::EcoMode, 0xFFFFFFFFu, 1},
        {Setting::EcoMode, 0, 0},
    };
    for (const Case& c : cases) {
        const SettingInfo& info = SettingInfoOf(c.setting);
        PutDword(PlainRootOf(info.key), false, SectionOf(info.key), info.name, c.stored);
        EXPECT_EQ(ReadSettingDword(id, c.setting), c.read) << info.name << " stored as " << c.stored;
    }
}

TEST_F(SettingsCatalog, WrongTypesGiveTheDefault) {
    PutString(kHkeyCurrentUser, false, L"Breaks", L"Work", L"90");
    PutRawValue(kHkeyCurrentUser, TestPath(false), L"NotificationStyle", kRegBinary, {1, 0, 0, 0});
    PutRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), L"TimeWorkStart", kRegBinary, {1, 2, 3, 4});
    EXPECT_EQ(ReadSettingDword(id, Setting::Work), 55u);
    EXPECT_EQ(ReadSettingDword(id, Setting::NotificationStyle), 2u);
    std::int64_t t = 5;
    EXPECT_FALSE(ReadSettingInt64(id, Setting::TimeWorkStart, t));
    EXPECT_EQ(t, 5);
}

TEST_F(SettingsCatalog, SwappedBreakPeriodsAreExchangedOnlyOutsidePolicy) {
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Work", 20);
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Rest", 45);
    BreakSettings breaks = LoadBreakSettings(id);
    EXPECT_EQ(breaks.choice.workMinutes, 45);
    EXPECT_EQ(breaks.choice.restMinutes, 20);
    EXPECT_FALSE(breaks.periodsLocked);

    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Work", 20);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Rest", 45);
    breaks = LoadBreakSettings(id);
    EXPECT_EQ(breaks.choice.workMinutes, 30);
    EXPECT_EQ(breaks.choice.restMinutes, 30);
    EXPECT_TRUE(breaks.periodsLocked);
}

TEST_F(SettingsCatalog, BreakPeriodRuleEdges) {
    EXPECT_EQ(ApplyBreakPeriodRules(30, 30, false).workMinutes, 30);  // swapped: still 30/30
    EXPECT_EQ(ApplyBreakPeriodRules(31, 30, false).workMinutes, 31);  // not a swapped pair
    EXPECT_EQ(ApplyBreakPeriodRules(5, 55, false).workMinutes, 55);
    EXPECT_EQ(ApplyBreakPeriodRules(5, 55, false).restMinutes, 5);
    EXPECT_EQ(ApplyBreakPeriodRules(0, 29, false).workMinutes, 30);  // rest below 30: no swap
    EXPECT_EQ(ApplyBreakPeriodRules(0, 29, false).restMinutes, 29);
    EXPECT_EQ(ApplyBreakPeriodRules(0xFFFFFFFFu, 0xFFFFFFFFu, true).restMinutes, 30);
}

TEST_F(SettingsCatalog, EnableAndLocks) {
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Enable", 2);
    EXPECT_FALSE(LoadBreakSettings(id).choice.enabled);  // anything but 1 is off
    PutString(kHkeyCurrentUser, true, L"Breaks", L"Enable", L"junk");
    const BreakSettings breaks = LoadBreakSettings(id);
    EXPECT_TRUE(breaks.enableLocked);  // present in policy, of any type
    EXPECT_FALSE(breaks.choice.enabled);  // the junk policy value is skipped, the plain 2 read
}

TEST_F(SettingsCatalog, AChoiceIsStoredAsTheNextLoadReadsItAndLockedValuesStayTheUsers) {
    // Limits and defaults are the rows' own: what the breaks page and the description use.
    EXPECT_EQ(WorkLimits().min, 30);
    EXPECT_EQ(WorkLimits().max, 120);
    EXPECT_EQ(RestLimits().min, 3);
    EXPECT_EQ(RestLimits().max, 30);
    EXPECT_EQ(DefaultBreakChoice(), (BreakChoice{true, 55, 5}));
    EXPECT_EQ(ClampedChoice({false, 10, 45}), (BreakChoice{false, 30, 30}));
    EXPECT_EQ(ClampedChoice({true, 121, 2}), (BreakChoice{true, 120, 3}));

    SaveBreakChoice(id, {{false, 90, 12}, false, false});
    EXPECT_EQ(LoadBreakSettings(id).choice, (BreakChoice{false, 90, 12}));
    EXPECT_EQ(ReadSettingDword(id, Setting::Enable), 0u);  // stored as 0 and 1

    // Under a policy the page shows and hands back the enforced values; the user's own stay.
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Work", 45);
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Enable", 1);
    const BreakSettings locked = LoadBreakSettings(id);
    ASSERT_TRUE(locked.enableLocked && locked.periodsLocked);
    SaveBreakChoice(id, {locked.choice, locked.enableLocked, locked.periodsLocked});
    EXPECT_EQ(PlainBreaksDword(L"Work"), 90u);
    EXPECT_EQ(PlainBreaksDword(L"Enable"), 0u);
}

TEST_F(SettingsCatalog, TheDescriptionTellsTheChoice) {
    EXPECT_EQ(DescribeBreakChoice({true, 55, 5}), L"You will be reminded to take a 5 minute break every 55 minutes.");
    EXPECT_EQ(DescribeBreakChoice({true, 120, 30}),
              L"You will be reminded to take a 30 minute break every 120 minutes.");
    EXPECT_EQ(DescribeBreakChoice({false, 55, 5}),
              L"With this feature disabled you will not be reminded when breaks are due.");
}

TEST_F(SettingsCatalog, HideValuesCountOnlyInTheUserPolicyKey) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"HideNews", 2);
    EXPECT_EQ(ReadSettingDword(id, Setting::HideNews), 0u);
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideNews", 2);
    EXPECT_EQ(ReadSettingDword(id, Setting::HideNews), 2u);
}

TEST_F(SettingsCatalog, HideValuesDisableAndHideButtons) {
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideOptions", 1);
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideUpgrade", 2);
    const PolicyButtonState options = ButtonStateForHideValue(ReadSettingDword(id, Setting::HideOptions));
    const PolicyButtonState upgrade = ButtonStateForHideValue(ReadSettingDword(id, Setting::HideUpgrade));
    const PolicyButtonState news = ButtonStateForHideValue(ReadSettingDword(id, Setting::HideNews));
    EXPECT_FALSE(options.enabled);
    EXPECT_TRUE(options.visible);
    EXPECT_FALSE(upgrade.enabled);
    EXPECT_FALSE(upgrade.visible);
    EXPECT_TRUE(news.enabled);
    EXPECT_TRUE(news.visible);
    EXPECT_FALSE(ButtonStateForHideValue(7).enabled);
    EXPECT_TRUE(ButtonStateForHideValue(7).visible);
}

TEST_F(SettingsCatalog, WritesGoToThePlainKeyOfTheHive) {
    EXPECT_EQ(WriteSettingDword(id, Setting::Score, 47), kS_OK);
    EXPECT_EQ(WriteSettingString(id, Setting::UpgradeUrl, L"http://h/x"), kS_OK);
    EXPECT_EQ(WriteSettingInt64(id, Setting::UpgradeCheck, 1700000000), kS_OK);
    EXPECT_EQ(WriteSettingString(id, Setting::TimedEntry, L"x"), kS_OK);  // the name pattern is not a value name
    std::uint32_t type = 0;
    std::vector<std::uint8_t> raw;
    EXPECT_TRUE(GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), L"Score", type, raw));
    EXPECT_TRUE(GetRawValue(kHkeyLocalMachine, TestPath(false, L"Service"), L"UpgradeUrl", type, raw));
    std::int64_t t = 0;
    EXPECT_TRUE(ReadSettingInt64(id, Setting::UpgradeCheck, t));
    EXPECT_EQ(t, 1700000000);
    EXPECT_EQ(TimedEntryName(3), L"Timed-3");
    EXPECT_FALSE(TestKeyExists(kHkeyCurrentUser, L"Software\\Policies\\QuillfenTest"));
    EXPECT_FALSE(TestKeyExists(kHkeyLocalMachine, L"Software\\Policies\\QuillfenTest"));
}

TEST_F(SettingsCatalog, StringsAreCutToTheirLength) {
    PutString(kHkeyCurrentUser, false, nullptr, L"NotificationSound", std::wstring(300, L'a'));
    EXPECT_EQ(ReadSettingString(id, Setting::NotificationSound), L"");  // too long to read at all
    PutString(kHkeyCurrentUser, false, nullptr, L"NotificationSound", std::wstring(259, L'a'));
    EXPECT_EQ(ReadSettingString(id, Setting::NotificationSound).size(), 259u);
}

TEST_F(SettingsCatalog, GroupTextsFollowTheirSwitch) {
    struct Case {
        Setting text, group;
        const wchar_t* name;
    };
    for (const Case& c : {Case{Setting::BrandTitle, Setting::BrandDisabled, L"BrandTitle"},
                          Case{Setting::BrandImage, Setting::BrandDisabled, L"BrandImage"},
                          Case{Setting::BrandHealthContents, Setting::BrandHealthDisabled, L"BrandHealthContents"},
                          Case{Setting::BrandHealthLink, Setting::BrandHealthDisabled, L"BrandHealthLink"}}) {
        const wchar_t* groupName = SettingInfoOf(c.group).name;
        ResetTestRegistry();
        PutString(kHkeyLocalMachine, false, L"Service", c.name, L"plain");
        EXPECT_EQ(ReadSettingString(id, c.text), L"plain") << c.name;  // no switch: the plain key
        PutDword(kHkeyLocalMachine, true, L"Service", groupName, 0);
        EXPECT_EQ(ReadSettingString(id, c.text), L"") << c.name;  // switch in policy: the policy key only
        PutString(kHkeyLocalMachine, true, L"Service", c.name, L"policy");
        EXPECT_EQ(ReadSettingString(id, c.text), L"policy") << c.name;
        PutDword(kHkeyLocalMachine, false, L"Service", groupName, 1);
        EXPECT_EQ(ReadSettingString(id, c.text), L"policy") << c.name;  // the policy switch wins
        PutDword(kHkeyLocalMachine, true, L"Service", groupName, 1);
        EXPECT_EQ(ReadSettingString(id, c.text), L"") << c.name;  // disabled: nothing is read
    }
}

// Application settings routine: eco mode and branding.

TEST_F(SettingsCatalog, BrandingFromThePlainMachineKey) {
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Acme\\nHealth");
    AppSettingsState state;
    EXPECT_TRUE(LoadApplicationSettings(id, state));
    EXPECT_TRUE(state.brandingActive);
    EXPECT_TRUE(state.brandTitleMultiLine);
    EXPECT_EQ(state.brandTitle, L"Acme\nHealth");
    EXPECT_EQ(state.brandImage, L"");
    // Nothing changed: the banner stays.
    EXPECT_FALSE(LoadApplicationSettings(id, state));
    // An image alone keeps branding on; the title change discards the banner.
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"");
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandImage", L"C:\\logo.png");
    EXPECT_TRUE(LoadApplicationSettings(id, state));
    EXPECT_TRUE(state.brandingActive);
    EXPECT_EQ(state.brandImage, L"C:\\logo.png");
}

TEST_F(SettingsCatalog, BrandingPolicySwitchDecidesWhereTextsAreRead) {
    PutDword(kHkeyLocalMachine, true, L"Service", L"BrandDisabled", 0);
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Plain title");
    AppSettingsState state;
    EXPECT_FALSE(LoadApplicationSettings(id, state));
    EXPECT_FALSE(state.brandingActive);
    EXPECT_EQ(state.brandTitle, L"");
    BrandingGroupSwitch group = ReadBrandingSwitch(id, Setting::BrandDisabled);
    EXPECT_TRUE(group.fromPolicy);
    EXPECT_TRUE(group.locked());

    PutString(kHkeyLocalMachine, true, L"Service", L"BrandTitle", L"Policy title");
    EXPECT_TRUE(LoadApplicationSettings(id, state));
    EXPECT_EQ(state.brandTitle, L"Policy title");
    EXPECT_FALSE(state.brandTitleMultiLine);
}

TEST_F(SettingsCatalog, TheMultiLineMarkFollowsTheTitle) {
    AppSettingsState state;
    for (const wchar_t* title : {L"One\\nTwo", L"One line", L"One\\nTwo", L""}) {
        PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", title);
        LoadApplicationSettings(id, state);
        EXPECT_EQ(state.brandTitleMultiLine, std::wstring(title).find(L"\\n") != std::wstring::npos) << title;
    }
}

TEST_F(SettingsCatalog, DisabledBrandingReadsNoTexts) {
    PutDword(kHkeyLocalMachine, false, L"Service", L"BrandDisabled", 1);
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandTitle", L"Title");
    AppSettingsState state;
    state.brandingActive = true;
    state.brandTitle = L"Title";
    EXPECT_TRUE(LoadApplicationSettings(id, state));  // it was active before
    EXPECT_FALSE(state.brandingActive);
    const BrandingGroupSwitch group = ReadBrandingSwitch(id, Setting::BrandDisabled);
    EXPECT_FALSE(group.fromPolicy);
    EXPECT_TRUE(group.locked());
    EXPECT_FALSE(ReadBrandingSwitch(id, Setting::BrandHealthDisabled).locked());
}

TEST_F(SettingsCatalog, EcoModeKeepsItsValueWhenMissing) {
    AppSettingsState state;
    state.ecoMode = true;
    LoadApplicationSettings(id, state);
    EXPECT_TRUE(state.ecoMode);
    PutDword(kHkeyCurrentUser, false, nullptr, L"EcoMode", 0);
    LoadApplicationSettings(id, state);
    EXPECT_FALSE(state.ecoMode);
    PutDword(kHkeyCurrentUser, true, nullptr, L"EcoMode", 1);
    LoadApplicationSettings(id, state);
    EXPECT_TRUE(state.ecoMode);
    // Every reader sees one value: 2 is eco mode for the images as for the icon and About.
    PutDword(kHkeyCurrentUser, true, nullptr, L"EcoMode", 2);
    LoadApplicationSettings(id, state);
    EXPECT_TRUE(state.ecoMode);
}

TEST_F(SettingsCatalog, HealthBrandingGroup) {
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthTitle", L"R&D Health");
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthContents", L"Line one\\nLine two");
    PutString(kHkeyLocalMachine, false, L"Service", L"BrandHealthLink", L"intranet/health");
    HealthBranding health = LoadHealthBranding(id);
    EXPECT_EQ(health.title, L"R&D Health");
    EXPECT_EQ(health.contents, L"Line one\nLine two");
    EXPECT_EQ(health.link, L"intranet/health");
    EXPECT_FALSE(health.group.locked());

    PutDword(kHkeyLocalMachine, true, L"Service", L"BrandHealthDisabled", 1);
    health = LoadHealthBranding(id);
    EXPECT_TRUE(health.group.locked());
    EXPECT_EQ(health.title, L"");
    EXPECT_EQ(health.link, L"");
}

}  // namespace
