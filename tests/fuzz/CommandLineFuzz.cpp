// libFuzzer target for the command line: the switches found agree with a plain reading of
// the rules (a switch counts, in any ASCII letter case, where it is followed by a space or
// the end of the line; the first of -startup, -setup, -upgrade, -respawn wins; -silent
// overrides all but -respawn), and "-close" counts only as the whole line.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "settings/StartupLogic.h"

using rw::fuzz::Require;

namespace {

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
}

// Whether word appears in line (letter case aside) with a space or the end right after it.
bool HasSwitch(const std::wstring& line, const std::wstring& word) {
    for (size_t at = 0; at + word.size() <= line.size(); ++at) {
        size_t k = 0;
        while (k < word.size() && Lower(line[at + k]) == word[k]) ++k;
        if (k == word.size() && (at + k == line.size() || line[at + k] == L' ')) return true;
    }
    return false;
}

rw::StartSwitches Expected(const std::wstring& line) {
    rw::StartSwitches s;
    if (HasSwitch(line, L"-startup")) {
        s.showWindow = false;
    } else if (HasSwitch(line, L"-setup")) {
        s.welcomeNotification = true;
    } else if (HasSwitch(line, L"-upgrade")) {
        s.showWindow = false;
        s.welcomeNotification = true;
    } else if (HasSwitch(line, L"-respawn")) {
        s.respawn = true;
        return s;
    }
    if (HasSwitch(line, L"-silent")) s = {false, false, false, true};
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::wstring line = rw::fuzz::Utf16Of(data, size);
    const rw::StartSwitches got = rw::InterpretSwitches(line);
    const rw::StartSwitches want = Expected(line);
    Require(got.respawn == want.respawn && got.showWindow == want.showWindow &&
            got.welcomeNotification == want.welcomeNotification && got.silent == want.silent);

    bool close = line.size() == 6;
    for (size_t i = 0; close && i < 6; ++i) close = Lower(line[i]) == L"-close"[i];
    Require(rw::IsCloseRequest(line) == close);
    return 0;
}
