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

}  // namespace rw
