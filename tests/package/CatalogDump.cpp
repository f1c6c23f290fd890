// Prints the settings catalogue, one JSON object per line, for the checks of the Group Policy
// templates (tests/package/check_policy.py): the program's own table, not a copy of it.
#include <cstdio>
#include <string>

#include "settings/SettingsCatalog.h"

namespace {

const char* KeyName(rw::SettingKey key) {
    switch (key) {
        case rw::SettingKey::UserProduct: return "HKCU\\\\Software\\\\Quillfen\\\\Restwell";
        case rw::SettingKey::UserBreaks: return "HKCU\\\\Software\\\\Quillfen\\\\Restwell\\\\Breaks";
        case rw::SettingKey::MachineService: return "HKLM\\\\Software\\\\Quillfen\\\\Restwell\\\\Service";
    }
    return "";
}

const char* TypeName(rw::SettingType type) {
    switch (type) {
        case rw::SettingType::Dword: return "dword";
        case rw::SettingType::Sz: return "sz";
        case rw::SettingType::Bin8: return "bin8";
    }
    return "";
}

// Whether a read of this source looks under Software\Policies at all.
bool ReadsPolicy(rw::SettingSource source) {
    return source != rw::SettingSource::User && source != rw::SettingSource::Machine;
}

const char* RangeName(rw::SettingRange range) {
    switch (range) {
        case rw::SettingRange::None: return "none";
        case rw::SettingRange::Clamp: return "clamp";
        case rw::SettingRange::ZeroOutside: return "zero-outside";
        case rw::SettingRange::CapAtMax: return "cap-at-max";
        case rw::SettingRange::Flag: return "flag";
    }
    return "";
}

std::string Ascii(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
}

}  // namespace

int main() {
    for (int i = 0; i < static_cast<int>(rw::Setting::Count); ++i) {
        const rw::SettingInfo& info = rw::SettingInfoOf(static_cast<rw::Setting>(i));
        std::printf(
            "{\"name\": \"%s\", \"key\": \"%s\", \"type\": \"%s\", \"policy\": %s, \"default\": %u, "
            "\"range\": \"%s\", \"min\": %u, \"max\": %u, \"maxChars\": %u}\n",
            Ascii(info.name).c_str(), KeyName(info.key), TypeName(info.type),
            ReadsPolicy(info.source) ? "true" : "false", info.defaultValue, RangeName(info.range), info.min, info.max,
            info.maxChars);
    }
    return 0;
}
