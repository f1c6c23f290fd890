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

std::wstring AnsiToWide(const char* text, size_t length) {
    if (!text || length == 0 || length > 0x7FFFFFFF) return {};
    const int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), wide.data(), n);
    return wide;
}

}  // namespace rw
