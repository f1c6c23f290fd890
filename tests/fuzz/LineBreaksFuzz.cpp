// libFuzzer target for the branding texts' line breaks: every two-character "\n" becomes one
// line break, read from left to right, and nothing else in the text changes.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "settings/AppSettings.h"

using rw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::wstring text = rw::fuzz::Utf16Of(data, size);
    std::wstring expected;
    bool any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            expected += L'\n';
            any = true;
            ++i;
        } else {
            expected += text[i];
        }
    }
    std::wstring expanded = text;
    Require(rw::ExpandLineBreaks(expanded) == any);
    Require(expanded == expected);
    Require(expanded.size() <= text.size());
    return 0;
}
