// Web addresses: the help root, help topics and health hints on the vendor web host, and the
// rules for opening an address (scheme, spaces, version in the query).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/WebLauncher.h"

namespace rw {

// The compiled-in vendor web host as the user is shown it: its base address without scheme.
std::wstring VendorHost();

std::wstring HelpRootAddress(const std::wstring& product);                    // base + "/products/%s/help/?"
std::wstring HelpTopicAddress(const std::wstring& product, std::int32_t id);  // help root + "topic=%d"
std::wstring HealthHintAddress(const std::wstring& product, std::uint32_t hint);
std::wstring HomePageAddress();

// Help commands of ShowHelp.
constexpr std::uint32_t kHelpContext = 1;
constexpr std::uint32_t kHelpContents = 3;

// The address ShowHelp opens for (context id, command); nothing for other commands.
// Ids 0 and -1 (0xFFFFFFFF) open the help root.
std::optional<std::wstring> ShowHelpAddress(const std::wstring& product, std::uint32_t contextId,
                                            std::uint32_t command);

struct PreparedAddress {
    std::wstring open;   // what the browser is given
    std::wstring shown;  // what the failure message shows: no version, no trailing "?"
};

// "http://" when there is no scheme, every space removed, and with addVersion the program
// version added to an address that has a query.
PreparedAddress PrepareWebAddress(const std::wstring& address, bool addVersion);

// A null address does nothing; a failed launch is reported in IDS_BROWSER_FAILED with the shown
// address (when that text cannot be formatted, nothing is shown).
void OpenWebAddress(WebLauncher& launcher, const wchar_t* address, bool addVersion);

// F1 asks for help only without Shift, Ctrl and Alt.
constexpr bool IsPlainHelpKey(bool shift, bool ctrl, bool alt) {
    return !shift && !ctrl && !alt;
}

}  // namespace rw
