// libFuzzer target for the update-file parser: any body, both keys. Besides running clean
// under the sanitizers, every result must equal that of a small reading of the file format
// written here on its own (plain string operations, none of the parser's helpers).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "updates/UpdateFile.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

struct Expected {
    rw::HResult result = 0;
    std::uint64_t version = 0;
    std::uint32_t type = 0;
    std::string url;  // bytes; the native build widens each byte as it is
};

Expected Stop(rw::HResult result, std::uint64_t version = 0) {
    Expected e;
    e.result = result;
    e.version = version;
    return e;
}

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The address rule: http:// or https:// (any case), a host without blank or "@", shorter
// than 2083, no control character (C0, DEL, C1) or backslash anywhere.
bool WebAddress(const std::string& url) {
    std::string lower;
    for (char c : url) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    size_t start = 0;
    if (lower.compare(0, 7, "http://") == 0) {
        start = 7;
    } else if (lower.compare(0, 8, "https://") == 0) {
        start = 8;
    } else {
        return false;
    }
    if (url.size() > 2082) return false;
    for (unsigned char c : url) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == '\\') return false;
    }
    const size_t end = url.find_first_of("/?#", start);
    const std::string host = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return !host.empty() && host.find_first_of(" @") == std::string::npos;
}

Expected Oracle(const std::string& body, const std::string& key, std::uint64_t running) {
    if (body.find("{C476BF3C-A85C-4C00-96A4-6F39C301010F}") == std::string::npos) return Stop(rw::kUpdateMarkerMissing);
    const std::string needle = "\nP:" + key + "\t";
    const size_t at = body.find(needle);
    if (at == std::string::npos) return Stop(rw::kUpdateKeyMissing);
    size_t p = at + needle.size();
    const auto skipBlanks = [&] {
        while (p < body.size() && Blank(body[p])) ++p;
    };
    skipBlanks();
    if (p == body.size()) return Stop(rw::kUpdateEntryMalformed);
    Expected e = Stop(rw::kUpdateEntryFound);
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (p == body.size() || body[p] != '.') return Stop(rw::kUpdateEntryMalformed, e.version);
            ++p;
        }
        if (p == body.size() || body[p] < '0' || body[p] > '9') return Stop(rw::kUpdateEntryMalformed, e.version);
        std::uint32_t number = 0;
        while (p < body.size() && body[p] >= '0' && body[p] <= '9') number = (number * 10 + (body[p++] - '0')) % 65536;
        e.version = (e.version << 16) | number;
    }
    while (p < body.size() && !Blank(body[p])) ++p;
    if (e.version <= running) return Stop(rw::kUpdateEntryNotNewer, e.version);
    skipBlanks();
    if (p == body.size()) return Stop(rw::kUpdateEntryMalformed, e.version);
    const std::string letters = "ORX";
    const size_t letter = letters.find(body[p]);
    if (letter == std::string::npos) return Stop(rw::kUpdateEntryMalformed, e.version);
    e.type = static_cast<std::uint32_t>(letter + 1);
    ++p;
    skipBlanks();
    size_t end = p;
    while (end < body.size() && !Blank(body[end]) && end - p < 2081) ++end;
    const std::string url = body.substr(p, end - p);
    if (WebAddress(url)) e.url = url;
    return e;
}

void Check(const std::uint8_t* data, size_t size, const char* key, rw::VersionQuad running) {
    rw::UpdateRecord record;
    const rw::HResult hr = rw::ParseUpdateEntry(data, size, key, running, record);
    const Expected e = Oracle(std::string(reinterpret_cast<const char*>(data), size), key, running);
    Require(hr == e.result);
    // A malformed entry may have read part of a version before it gave up; the rest holds
    // whatever the result.
    if (hr != rw::kUpdateEntryMalformed) Require(record.version == e.version);
    Require(record.type == (hr == rw::kUpdateEntryFound ? e.type : 0u));
    std::wstring url;
    for (unsigned char c : (hr == rw::kUpdateEntryFound ? e.url : std::string())) url += static_cast<wchar_t>(c);
    Require(record.url == url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // A body of zero bytes still has an address; an empty span must not be read.
    static const std::uint8_t empty = 0;
    const std::uint8_t* body = size ? data : &empty;
    Check(body, size, rw::kProductEntryKey, rw::kRunningVersion);
    Check(body, size, rw::kNewsEntryKey, 0);
    return 0;
}
