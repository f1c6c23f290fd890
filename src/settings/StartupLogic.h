// The decisions of start-up that need no window: the command-line switches and the first-run
// (welcome) decision.
#pragma once
#include <cstdint>
#include <string>

#include "settings/SettingsStore.h"

namespace rw {

// The program GUID, and the names of the instance message and the single-instance event
// built from it. No kernel-namespace prefix: the event lives in the logon session's
// namespace, so there is one instance per session.
inline constexpr const wchar_t* kProgramGuid = L"2B2D6DA9-F264-4505-809F-D5B3D342EEA2";
inline constexpr const wchar_t* kInstanceMessagePrefix = L"RWM_UI_";
inline constexpr const wchar_t* kInstanceEventPrefix = L"RUN_UI_";
// A mutex the running instance's main thread holds until it ends (the system releases it
// then, killed or not): waiting on it is waiting for that instance to end.
inline constexpr const wchar_t* kInstanceLifePrefix = L"RUN_UI_LIFE_";
// How long "-close", or a start that finds an instance without a window, waits for it to end.
inline constexpr unsigned kInstanceEndWaitMs = 10000;

// wParam of the instance message.
inline constexpr std::uintptr_t kInstanceShow = 1;
inline constexpr std::uintptr_t kInstanceClose = 2;
// What the running instance's main window answers to a sent kInstanceShow.
inline constexpr std::intptr_t kInstanceShown = 0x5257;

// "-close" as the whole command line, in any case: ask the running instance to quit.
bool IsCloseRequest(const std::wstring& commandLine);

struct StartSwitches {
    bool respawn = false;              // start a fresh copy without arguments, then end
    bool showWindow = true;            // show the main window after creating it
    bool welcomeNotification = false;  // show the welcome notification
    bool silent = false;               // never run the welcome wizard
};

// The switches "-startup", "-setup", "-upgrade", "-respawn" (the first found in that order
// counts) and "-silent" (overrides the others' show and notification choices, except after
// "-respawn"). A switch counts only when it is followed by a blank or ends the line, in any
// letter case; everything else on the line is ignored.
StartSwitches InterpretSwitches(const std::wstring& commandLine);

enum class WelcomeStep {
    None,                   // not a first run
    RunWizard,              // first run: run the welcome wizard
    FirstRunWithoutWizard,  // first run, but the machine policy turned the wizard off
};

struct WelcomeDecision {
    std::int64_t welcomeTime = 0;  // when the wizard was finished; 0 = unknown
    WelcomeStep step = WelcomeStep::None;
};

// Reads "Welcome" (and, on a first run that is not silent, the machine policy
// "DisableWelcomeNewUsers") and decides. A welcome time more than a day in the future is
// not believed (welcomeTime 0), but still counts as "welcomed".
WelcomeDecision DecideWelcome(const SettingsIdentity& identity, std::int64_t now, bool silent);

}  // namespace rw
