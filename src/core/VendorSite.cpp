#include "core/VendorSite.h"

#include "core/VendorUrl.h"

namespace rw {

const wchar_t* VendorBaseAddress() {
    return RESTWELL_VENDOR_URL;
}

std::wstring VendorHostText() {
    const std::wstring base = VendorBaseAddress();
    const size_t scheme = base.find(L"://");
    return scheme == std::wstring::npos ? base : base.substr(scheme + 3);
}

std::wstring VendorAddress(const std::wstring& path) {
    return VendorBaseAddress() + path;
}

const char* UpdateSigningKeyHex() {
    return RESTWELL_UPDATE_KEY;
}

}  // namespace rw
