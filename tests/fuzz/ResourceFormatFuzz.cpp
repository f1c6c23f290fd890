// libFuzzer target for the resource string formatter with hostile inserts. The input is a
// pattern (or, when it starts with "#", the number of a string-table text) followed by
// inserts, split at zero bytes; an insert "#123" is a number, any other a text. Oracle:
// the same pattern formatted with one marker character per text insert must succeed or fail
// alike, and give the same text once each marker is replaced by its insert: inserts are
// copied as they are, never read as format codes, whatever they hold. A failure leaves the
// caller's text untouched.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "core/ResourceString.h"

using rw::FormatArg;
using rw::fuzz::Require;

namespace {

constexpr size_t kMaxArgs = 12;      // enough for "%10".."%12" and one missing
constexpr wchar_t kMarker = 0xE000;  // private use: marker k is kMarker + k
constexpr wchar_t kLastMarker = kMarker + kMaxArgs;

template <size_t... I>
bool FormatWith(const std::wstring& pattern, const std::vector<FormatArg>& args, std::wstring& out,
                std::index_sequence<I...>) {
    return rw::FormatText(pattern, {args[I]...}, out);
}

template <size_t... I>
bool LoadWith(unsigned id, const std::vector<FormatArg>& args, std::wstring& out, std::index_sequence<I...>) {
    return rw::FormatResourceString(out, id, {args[I]...});
}

template <size_t N>
bool Call(const std::wstring* pattern, unsigned id, const std::vector<FormatArg>& args, std::wstring& out) {
    return pattern ? FormatWith(*pattern, args, out, std::make_index_sequence<N>())
                   : LoadWith(id, args, out, std::make_index_sequence<N>());
}

// The formatter with a run-time number of inserts (it takes a braced list).
bool Format(const std::wstring* pattern, unsigned id, const std::vector<FormatArg>& args, std::wstring& out) {
    using Fn = bool (*)(const std::wstring*, unsigned, const std::vector<FormatArg>&, std::wstring&);
    static constexpr Fn table[kMaxArgs + 1] = {Call<0>, Call<1>, Call<2>, Call<3>,  Call<4>,  Call<5>, Call<6>,
                                               Call<7>, Call<8>, Call<9>, Call<10>, Call<11>, Call<12>};
    return table[args.size()](pattern, id, args, out);
}

std::int64_t NumberOf(const std::wstring& text) {
    std::uint64_t n = 0;
    for (size_t i = 1; i < text.size(); ++i) n = n * 10 + static_cast<std::uint64_t>(text[i] % 10);
    return static_cast<std::int64_t>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::vector<std::wstring> parts = rw::fuzz::Parts(data, size);
    const bool fromTable = parts[0].size() > 1 && parts[0][0] == L'#';
    const unsigned id = fromTable ? static_cast<unsigned>(NumberOf(parts[0]) % 65536) : 0;
    std::wstring pattern = fromTable ? rw::ResourceText(id) : parts[0];
    for (wchar_t& c : pattern) {
        if (c >= kMarker && c <= kLastMarker) c = L'x';  // the markers must be unambiguous
    }

    std::vector<FormatArg> hostile, marked;
    for (size_t k = 1; k < parts.size() && hostile.size() < kMaxArgs; ++k) {
        if (!parts[k].empty() && parts[k][0] == L'#') {
            hostile.emplace_back(static_cast<long long>(NumberOf(parts[k])));
            marked.emplace_back(static_cast<long long>(NumberOf(parts[k])));
        } else {
            hostile.emplace_back(parts[k]);
            marked.emplace_back(std::wstring(1, static_cast<wchar_t>(kMarker + hostile.size())));
        }
    }

    const std::wstring untouched = L"untouched";
    if (fromTable && pattern.empty()) {
        // No such string: nothing is formatted and the caller's text stays.
        std::wstring out = untouched;
        Require(!Format(nullptr, id, hostile, out) && out == untouched);
        return 0;
    }
    std::wstring got = untouched, want = untouched;
    // A table text with a marker character of its own is formatted from its cleaned copy.
    const bool ok = fromTable && pattern == rw::ResourceText(id) ? Format(nullptr, id, hostile, got)
                                                                 : Format(&pattern, 0, hostile, got);
    const bool markedOk = Format(&pattern, 0, marked, want);
    Require(ok == markedOk);
    if (!ok) {
        Require(got == untouched);
        return 0;
    }
    std::wstring expected;
    for (wchar_t c : want) {
        if (c > kMarker && c <= kLastMarker) {
            expected += hostile[static_cast<size_t>(c - kMarker) - 1].text();
        } else {
            expected += c;
        }
    }
    Require(got == expected);
    return 0;
}
