// libFuzzer target for the update-file parser: any body, both keys, and the rules every
// result must keep whatever the body holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "updates/UpdateFile.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void Check(const std::uint8_t* data, size_t size, const char* key, rw::VersionQuad running) {
    rw::UpdateRecord record;
    const rw::HResult hr = rw::ParseUpdateEntry(data, size, key, running, record);
    Require(hr == rw::kUpdateEntryFound || hr == rw::kUpdateEntryNotNewer || hr == rw::kUpdateKeyMissing ||
            hr == rw::kUpdateMarkerMissing || hr == rw::kUpdateEntryMalformed);
    Require(record.url.size() <= rw::kUpdateUrlMaxRead);
    if (!record.url.empty()) Require(rw::IsWebAddress(record.url));
    if (hr == rw::kUpdateEntryFound) {
        Require(record.version > running);
        Require(record.type >= rw::UPGRADE_TYPE_OPTIONAL && record.type <= rw::UPGRADE_TYPE_UNSUPPORTED);
    } else {
        Require(record.url.empty() && record.type == rw::UPGRADE_TYPE_NONE);
        if (hr == rw::kUpdateEntryNotNewer) Require(record.version <= running);
    }
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
