#include "core/ResourceString.h"

#include <cwctype>
#include <vector>

#include "platform/Strings.h"

namespace rw {
namespace {

bool AppendNumber(const FormatArg& arg, const std::wstring& format, std::wstring& result) {
    if (arg.isText()) return false;
    const std::int64_t n = arg.number();
    if (format == L"d" || format == L"i" || format == L"ld" || format == L"li") {
        result += std::to_wstring(static_cast<std::int32_t>(n));
    } else if (format == L"u" || format == L"lu") {
        result += std::to_wstring(static_cast<std::uint32_t>(n));
    } else if (format == L"hu") {
        result += std::to_wstring(static_cast<std::uint16_t>(n));
    } else if (format == L"hd") {
        result += std::to_wstring(static_cast<std::int16_t>(n));
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool FormatText(const std::wstring& pattern, std::initializer_list<FormatArg> args, std::wstring& out) {
    const std::vector<FormatArg> argv(args);
    std::wstring result;
    result.reserve(pattern.size() + 32);
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c != L'%') {
            result += c;
            continue;
        }
        if (i + 1 >= pattern.size()) return false;  // a lone percent sign at the end
        const wchar_t next = pattern[++i];
        if (next == L'0') break;  // "%0" ends the text
        if (next >= L'1' && next <= L'9') {
            size_t index = static_cast<size_t>(next - L'0');
            if (i + 1 < pattern.size() && std::iswdigit(pattern[i + 1])) {
                index = index * 10 + static_cast<size_t>(pattern[++i] - L'0');
            }
            if (index > argv.size()) return false;
            const FormatArg& arg = argv[index - 1];
            if (i + 1 < pattern.size() && pattern[i + 1] == L'!') {
                const size_t end = pattern.find(L'!', i + 2);
                if (end == std::wstring::npos) return false;
                const std::wstring format = pattern.substr(i + 2, end - i - 2);
                i = end;
                if (format == L"s" || format == L"ls") {
                    if (!arg.isText()) return false;
                    result += arg.text();
                } else if (!AppendNumber(arg, format, result)) {
                    return false;
                }
            } else if (arg.isText()) {
                result += arg.text();
            } else {
                result += std::to_wstring(arg.number());
            }
            continue;
        }
        switch (next) {
            case L't': result += L'\t'; break;
            case L'r': result += L'\r'; break;
            case L'b': result += L' '; break;
            default: result += next; break;  // "%%", "%.", "%!" and the like
        }
    }
    out = std::move(result);
    return true;
}

bool FormatResourceString(std::wstring& out, unsigned id, std::initializer_list<FormatArg> args) {
    std::wstring pattern;
    if (!LoadResourceString(id, pattern)) return false;
    return FormatText(pattern, args, out);
}

std::wstring ResourceText(unsigned id) {
    std::wstring text;
    LoadResourceString(id, text);
    return text;
}

}  // namespace rw
