// The command-line switches of start-up.
#include <gtest/gtest.h>

#include "settings/StartupLogic.h"

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

}  // namespace
