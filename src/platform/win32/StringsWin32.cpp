#include <windows.h>

#include "platform/Strings.h"

namespace rw {

bool LoadResourceString(unsigned id, std::wstring& text) {
    const wchar_t* data = nullptr;
    // With a zero length LoadStringW hands out a read-only pointer to the resource itself.
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&data), 0);
    if (length <= 0 || !data) return false;
    text.assign(data, static_cast<size_t>(length));
    return true;
}

}  // namespace rw
