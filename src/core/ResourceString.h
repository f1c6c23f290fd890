// Loading string-table texts by number and filling in their inserts: "%1".."%9" for strings,
// "%1!d!" for signed numbers, "%1!hu!" for 16-bit unsigned numbers, "%%" for a percent sign.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

namespace rw {

class FormatArg {
public:
    FormatArg(const wchar_t* text) : text_(text ? text : L""), isText_(true) {}
    FormatArg(const std::wstring& text) : text_(text), isText_(true) {}
    FormatArg(int value) : number_(value) {}
    FormatArg(unsigned value) : number_(value) {}
    FormatArg(long value) : number_(value) {}
    FormatArg(unsigned long value) : number_(static_cast<std::int64_t>(value)) {}
    FormatArg(long long value) : number_(value) {}

    bool isText() const { return isText_; }
    const std::wstring& text() const { return text_; }
    std::int64_t number() const { return number_; }

private:
    std::wstring text_;
    std::int64_t number_ = 0;
    bool isText_ = false;
};

// Formats pattern into out; out is replaced only on success (false on a missing insert,
// a bad insert format, or a number given where text is expected and vice versa).
bool FormatText(const std::wstring& pattern, std::initializer_list<FormatArg> args, std::wstring& out);

// Loads string id and formats it; out is left as it was unless both steps succeed.
bool FormatResourceString(std::wstring& out, unsigned id, std::initializer_list<FormatArg> args = {});

// The string itself, or an empty text when it is missing.
std::wstring ResourceText(unsigned id);

}  // namespace rw
