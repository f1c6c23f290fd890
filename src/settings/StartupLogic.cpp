#include "settings/StartupLogic.h"

#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

// The switches are plain ASCII, so ASCII letter case is all that matters.
wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool Contains(const std::wstring& text, const wchar_t* word) {
    return text.find(word) != std::wstring::npos;
}

constexpr std::int64_t kOneDay = 86'400;

}  // namespace

bool IsCloseRequest(const std::wstring& commandLine) {
    static const std::wstring close = L"-close";
    if (commandLine.size() != close.size()) return false;
    for (size_t i = 0; i < close.size(); ++i) {
        if (AsciiLower(commandLine[i]) != close[i]) return false;
    }
    return true;
}

StartSwitches InterpretSwitches(const std::wstring& commandLine) {
    std::wstring line;
    line.reserve(commandLine.size() + 1);
    for (wchar_t c : commandLine) line += AsciiLower(c);
    line += L' ';

    StartSwitches switches;
    if (Contains(line, L"-startup ")) {
        switches.showWindow = false;
    } else if (Contains(line, L"-setup ")) {
        switches.welcomeNotification = true;
    } else if (Contains(line, L"-upgrade ")) {
        switches.showWindow = false;
        switches.welcomeNotification = true;
    } else if (Contains(line, L"-respawn ")) {
        switches.respawn = true;
        return switches;
    }
    if (Contains(line, L"-silent ")) {
        switches.showWindow = false;
        switches.welcomeNotification = false;
        switches.silent = true;
    }
    return switches;
}

WelcomeDecision DecideWelcome(const SettingsIdentity& identity, std::int64_t now, bool silent) {
    const std::uint32_t welcome = ReadSettingDword(identity, Setting::Welcome);
    WelcomeDecision decision;
    decision.welcomeTime = welcome;
    if (decision.welcomeTime > now + kOneDay) decision.welcomeTime = 0;
    if (welcome == 0 && !silent) {
        decision.step = ReadSettingDword(identity, Setting::DisableWelcomeNewUsers) != 0
                            ? WelcomeStep::FirstRunWithoutWizard
                            : WelcomeStep::RunWizard;
    }
    return decision;
}

}  // namespace rw
