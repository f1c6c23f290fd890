// The vendor web host, compiled in once as a base address with its scheme
// ("https://updates.example.org"); every address on the host is built from it.
#pragma once
#include <string>

namespace rw {

// The base address, without a trailing "/".
const wchar_t* VendorBaseAddress();
// The base without its scheme, for showing to the user ("updates.example.org").
std::wstring VendorHostText();
// base + path; path starts with "/".
std::wstring VendorAddress(const std::wstring& path);
// The public key the update file must be signed with, as hex text; empty: none.
const char* UpdateSigningKeyHex();

}  // namespace rw
