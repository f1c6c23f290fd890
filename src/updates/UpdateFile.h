// The update file the daily check downloads: a marker somewhere in the text and entries of
// the form "\nP:<key>\t<a.b.c.d> <letter> <address>". Also the rules for what the file's
// addresses may be and for date-stamped news versions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/VersionQuad.h"
#include "platform/HResult.h"

namespace rw {

constexpr std::uint32_t UPGRADE_TYPE_NONE = 0;
constexpr std::uint32_t UPGRADE_TYPE_OPTIONAL = 1;     // letter O
constexpr std::uint32_t UPGRADE_TYPE_REQUIRED = 2;     // letter R
constexpr std::uint32_t UPGRADE_TYPE_UNSUPPORTED = 3;  // letter X

// Room for an address of 2082 characters and its terminator.
constexpr size_t kUpdateUrlCapacity = 2083;
// The longest address taken from the file; a longer run is cut.
constexpr size_t kUpdateUrlMaxRead = 2081;

// One entry of the update file.
struct UpdateRecord {
    std::wstring url;  // empty when the file gave none (or none that may be opened)
    VersionQuad version = 0;
    std::uint32_t type = UPGRADE_TYPE_NONE;
    bool operator==(const UpdateRecord& o) const { return url == o.url && version == o.version && type == o.type; }
};

// The application-wide results of the last check (or of the stored state).
struct UpdateRecords {
    UpdateRecord upgradeInfo;
    UpdateRecord newsInfo;
};

inline constexpr const char* kUpdateMarker = "{C476BF3C-A85C-4C00-96A4-6F39C301010F}";
inline constexpr const char* kProductEntryKey = "PRODUCT_V1";
inline constexpr const char* kNewsEntryKey = "NEWS_V1";

// The parser's own results.
constexpr HResult kUpdateEntryFound = 0;  // newer, type valid
constexpr HResult kUpdateEntryNotNewer = 1;
constexpr HResult kUpdateKeyMissing = static_cast<HResult>(0x80044000u);
constexpr HResult kUpdateMarkerMissing = static_cast<HResult>(0x80044001u);
constexpr HResult kUpdateEntryMalformed = static_cast<HResult>(0x80044002u);
constexpr HResult kUpdateNoBody = static_cast<HResult>(0x80044003u);

// Finds the first entry of key in the body (searched only within size) and reads it into
// record, which is cleared first. The version is kept even when it is not newer than
// running. An address that is not an http:// or https:// address counts as none.
HResult ParseUpdateEntry(const std::uint8_t* body, size_t size, const char* key, VersionQuad running,
                         UpdateRecord& record);

// A date-stamped version (year.month.day.number) later than tomorrow's date (UTC) is 0.
VersionQuad SanitiseDateVersion(VersionQuad version, std::int64_t now);

// True for an http:// or https:// address with a host (scheme in any case), shorter than
// kUpdateUrlCapacity, without control characters and without a user name or password.
// Anything else (file:, UNC paths, other schemes, no host) must not be opened or navigated.
bool IsWebAddress(const std::wstring& address);

}  // namespace rw
