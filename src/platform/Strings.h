// String-table lookup by number: LoadStringW in the Windows build, the same table compiled
// in for the native build.
#pragma once
#include <string>

namespace rw {

// True and the text when the string exists.
bool LoadResourceString(unsigned id, std::wstring& text);

}  // namespace rw

namespace rw {

// Single-byte text in the thread's ANSI code page as a wide string (natively: Latin-1).
std::wstring AnsiToWide(const char* text, size_t length);

}  // namespace rw
