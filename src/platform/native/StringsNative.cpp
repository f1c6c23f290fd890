#include <cstddef>

#include "platform/Strings.h"

namespace rw {
namespace {

struct Entry {
    unsigned id;
    const wchar_t* text;
};

const Entry kStrings[] = {
#include "res/strings_table.inc"
};

}  // namespace

bool LoadResourceString(unsigned id, std::wstring& text) {
    for (const Entry& e : kStrings) {
        if (e.id == id) {
            text = e.text;
            return true;
        }
    }
    return false;
}

std::wstring AnsiToWide(const char* text, size_t length) {
    std::wstring wide;
    if (!text) return wide;
    wide.reserve(length);
    for (size_t i = 0; i < length; ++i) wide += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    return wide;
}

}  // namespace rw
