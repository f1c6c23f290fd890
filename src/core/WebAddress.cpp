#include "core/WebAddress.h"

#include "core/ResourceString.h"
#include "core/VendorSite.h"
#include "core/VersionQuad.h"
#include "res/string_ids.h"

namespace rw {

std::wstring VendorHost() {
    return VendorHostText();
}

std::wstring HelpRootAddress(const std::wstring& product) {
    return VendorAddress(L"/products/" + product + L"/help/?");
}

std::wstring HelpTopicAddress(const std::wstring& product, std::int32_t id) {
    return HelpRootAddress(product) + L"topic=" + std::to_wstring(id);
}

std::wstring HealthHintAddress(const std::wstring& product, std::uint32_t hint) {
    return VendorAddress(L"/products/" + product + L"/hints/?id=" + std::to_wstring(hint));
}

std::wstring HomePageAddress() {
    return VendorBaseAddress();
}

std::optional<std::wstring> ShowHelpAddress(const std::wstring& product, std::uint32_t contextId,
                                            std::uint32_t command) {
    if (command == kHelpContext) {
        if (contextId != 0 && contextId != 0xFFFFFFFFu) {
            return HelpTopicAddress(product, static_cast<std::int32_t>(contextId));
        }
        return HelpRootAddress(product);
    }
    if (command == kHelpContents) return HelpRootAddress(product);
    return std::nullopt;
}

PreparedAddress PrepareWebAddress(const std::wstring& address, bool addVersion) {
    std::wstring text = address.find(L"://") == std::wstring::npos ? L"http://" + address : address;
    std::wstring cleaned;
    cleaned.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L' ') cleaned += c;
    }
    PreparedAddress prepared{cleaned, cleaned};
    if (!prepared.shown.empty() && prepared.shown.back() == L'?') prepared.shown.pop_back();
    if (addVersion && cleaned.find(L'?') != std::wstring::npos) {
        if (cleaned.back() != L'?') prepared.open += L'&';
        prepared.open += L"ver=";
        prepared.open += kRunningVersionText;
    }
    return prepared;
}

void OpenWebAddress(WebLauncher& launcher, const wchar_t* address, bool addVersion) {
    if (!address) return;
    const PreparedAddress prepared = PrepareWebAddress(address, addVersion);
    if (launcher.Open(prepared.open)) return;
    std::wstring message;
    if (FormatResourceString(message, IDS_BROWSER_FAILED, {prepared.shown})) launcher.ReportFailure(message);
}

}  // namespace rw
