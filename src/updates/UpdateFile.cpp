#include "updates/UpdateFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwctype>
#include <new>

#include "platform/Strings.h"

namespace rw {
namespace {

bool IsSpace(std::uint8_t c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

const std::uint8_t* Find(const std::uint8_t* begin, const std::uint8_t* end, const std::string& what) {
    const auto* w = reinterpret_cast<const std::uint8_t*>(what.data());
    const std::uint8_t* at = std::search(begin, end, w, w + what.size());
    return at == end ? nullptr : at;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
}

HResult Parse(const std::uint8_t* body, size_t size, const char* key, VersionQuad running, UpdateRecord& record) {
    const std::uint8_t* const end = body + size;
    if (!Find(body, end, kUpdateMarker)) return kUpdateMarkerMissing;
    const std::string needle = std::string("\nP:") + key + "\t";
    const std::uint8_t* p = Find(body, end, needle);
    if (!p) return kUpdateKeyMissing;
    p += needle.size();

    while (p < end && IsSpace(*p)) ++p;
    if (p == end) return kUpdateEntryMalformed;
    std::uint16_t parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (p == end || *p != '.') return kUpdateEntryMalformed;
            ++p;
        }
        if (p == end || !IsDigit(*p)) return kUpdateEntryMalformed;
        std::uint32_t value = 0;
        for (; p < end && IsDigit(*p); ++p) value = (value * 10 + static_cast<std::uint32_t>(*p - '0')) & 0xFFFFu;
        parts[i] = static_cast<std::uint16_t>(value);
    }
    while (p < end && !IsSpace(*p)) ++p;  // whatever follows the fourth number
    record.version = PackVersion(parts[0], parts[1], parts[2], parts[3]);
    if (record.version <= running) return kUpdateEntryNotNewer;

    while (p < end && IsSpace(*p)) ++p;
    if (p == end) return kUpdateEntryMalformed;
    switch (*p) {
        case 'O': record.type = UPGRADE_TYPE_OPTIONAL; break;
        case 'R': record.type = UPGRADE_TYPE_REQUIRED; break;
        case 'X': record.type = UPGRADE_TYPE_UNSUPPORTED; break;
        default: return kUpdateEntryMalformed;
    }
    ++p;
    while (p < end && IsSpace(*p)) ++p;
    const std::uint8_t* const urlStart = p;
    while (p < end && !IsSpace(*p) && static_cast<size_t>(p - urlStart) < kUpdateUrlMaxRead) ++p;
    std::wstring url = AnsiToWide(reinterpret_cast<const char*>(urlStart), static_cast<size_t>(p - urlStart));
    if (url.size() >= kUpdateUrlCapacity) url.resize(kUpdateUrlCapacity - 1);
    if (IsWebAddress(url)) record.url = std::move(url);
    return kUpdateEntryFound;
}

}  // namespace

HResult ParseUpdateEntry(const std::uint8_t* body, size_t size, const char* key, VersionQuad running,
                         UpdateRecord& record) {
    record = UpdateRecord{};
    if (!key) return kE_POINTER;
    if (!body) return kUpdateNoBody;
    try {
        return Parse(body, size, key, running, record);
    } catch (...) {
        return kE_UNEXPECTED;
    }
}

VersionQuad SanitiseDateVersion(VersionQuad version, std::int64_t now) {
    std::int64_t days = (now + 86400) / 86400;
    if ((now + 86400) % 86400 < 0) --days;
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    const auto y = static_cast<std::uint16_t>(year < 0 ? 0 : (year > 0xFFFF ? 0xFFFF : year));
    const VersionQuad tomorrow = PackVersion(y, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day), 0);
    return version > tomorrow ? 0 : version;
}

bool IsWebAddress(const std::wstring& address) {
    size_t schemeLength = 0;
    auto startsWith = [&](const wchar_t* scheme) {
        const size_t n = std::wcslen(scheme);
        if (address.size() < n) return false;
        for (size_t i = 0; i < n; ++i) {
            if (static_cast<wchar_t>(std::towlower(address[i])) != scheme[i]) return false;
        }
        schemeLength = n;
        return true;
    };
    if (!startsWith(L"http://") && !startsWith(L"https://")) return false;
    if (address.size() >= kUpdateUrlCapacity) return false;
    // No control character anywhere (C0, DEL, C1), no backslash.
    for (wchar_t c : address) {
        if (c < L' ' || (c >= 0x7F && c <= 0x9F) || c == L'\\') return false;
    }
    // The host: up to the path, query or fragment; not empty, no blank, and no user name or
    // password ("user:pass@host" shows one host and opens another).
    const size_t hostEnd = address.find_first_of(L"/?#", schemeLength);
    const size_t stop = hostEnd == std::wstring::npos ? address.size() : hostEnd;
    if (stop == schemeLength) return false;
    for (size_t i = schemeLength; i < stop; ++i) {
        if (address[i] == L' ' || address[i] == L'@') return false;
    }
    return true;
}

}  // namespace rw
