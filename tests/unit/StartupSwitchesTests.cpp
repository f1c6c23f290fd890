// The command-line switches of start-up and the text form of exchanged integers.
#include <gtest/gtest.h>

#include "app/StartupLogic.h"
#include "framework/IntegerText.h"

using namespace rw;

namespace {

TEST(StartupSwitches, CloseRequestIsTheWholeLineInAnyCase) {
    struct Case {
        const wchar_t* line;
        bool close;
    };
    const Case cases[] = {
        {L"-close", true},   {L"-CLOSE", true},  {L"-Close", true},   {L"-close ", false},
        {L" -close", false}, {L"/close", false}, {L"-closex", false}, {L"-close -silent", false},
        {L"", false},        {L"close", false},  {L"-clos", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsCloseRequest(c.line), c.close) << '"' << testing::PrintToString(c.line) << '"';
}

TEST(StartupSwitches, SwitchTable) {
    struct Case {
        const wchar_t* line;
        bool respawn, show, notification, silent;
    };
    const Case cases[] = {
        {L"", false, true, false, false},
        {L"-startup", false, false, false, false},
        {L"-setup", false, true, true, false},
        {L"-upgrade", false, false, true, false},
        {L"-respawn", true, true, false, false},
        {L"-silent", false, false, false, true},
        // Letter case, and a switch at the very end of the line or among others.
        {L"-SETUP", false, true, true, false},
        {L"-StartUp", false, false, false, false},
        {L"foo -upgrade bar", false, false, true, false},
        // Further letters attached: not the switch.
        {L"-startupx", false, true, false, false},
        {L"-setup2 -silentx", false, true, false, false},
        {L"/startup", false, true, false, false},
        // First match in test order startup, setup, upgrade, respawn.
        {L"-setup -startup", false, false, false, false},
        {L"-upgrade -setup", false, true, true, false},
        {L"-respawn -upgrade", false, false, true, false},
        // -silent overrides the others' choices, but not -respawn.
        {L"-setup -silent", false, false, false, true},
        {L"-silent -upgrade", false, false, false, true},
        {L"-respawn -silent", true, true, false, false},
        {L"-SILENT", false, false, false, true},
        // The close request is decided before the switches: here it is an ordinary start.
        {L"-close ", false, true, false, false},
        {L"/close", false, true, false, false},
    };
    for (const Case& c : cases) {
        const StartSwitches s = InterpretSwitches(c.line);
        const std::string line = testing::PrintToString(std::wstring(c.line));
        EXPECT_EQ(s.respawn, c.respawn) << line;
        EXPECT_EQ(s.showWindow, c.show) << line;
        EXPECT_EQ(s.welcomeNotification, c.notification) << line;
        EXPECT_EQ(s.silent, c.silent) << line;
    }
}

TEST(IntegerText, ParsesDecimalsWithinTheRange) {
    struct Case {
        const wchar_t* text;
        std::int64_t min, max;
        std::optional<std::int64_t> value;
    };
    constexpr std::int64_t s16min = -32768, s16max = 32767, s32min = INT32_MIN, s32max = INT32_MAX;
    const Case cases[] = {
        {L"55", s16min, s16max, 55},
        {L"  7", s16min, s16max, 7},
        {L"\t-12", s16min, s16max, -12},
        {L"+5", s16min, s16max, 5},
        {L"0", s16min, s16max, 0},
        {L"-32768", s16min, s16max, -32768},
        {L"32767", s16min, s16max, 32767},
        {L"32768", s16min, s16max, std::nullopt},
        {L"-32769", s16min, s16max, std::nullopt},
        {L"70000", s16min, s16max, std::nullopt},
        {L"2147483647", s32min, s32max, 2147483647},
        {L"-2147483648", s32min, s32max, -2147483648LL},
        {L"2147483648", s32min, s32max, std::nullopt},
        {L"99999999999999999999999", s32min, s32max, std::nullopt},
        {L"", s16min, s16max, std::nullopt},
        {L"   ", s16min, s16max, std::nullopt},
        {L"-", s16min, s16max, std::nullopt},
        {L"abc", s16min, s16max, std::nullopt},
        {L"12x", s16min, s16max, std::nullopt},
        {L"12 ", s16min, s16max, std::nullopt},
        {L"1 2", s16min, s16max, std::nullopt},
        {L"--1", s16min, s16max, std::nullopt},
        {L"0x10", s16min, s16max, std::nullopt},
        {L"1.5", s16min, s16max, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rw::ParseInteger(c.text, c.min, c.max), c.value) << testing::PrintToString(std::wstring(c.text));
    }
}

}  // namespace
