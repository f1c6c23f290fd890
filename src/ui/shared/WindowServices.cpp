#include "ui/shared/WindowServices.h"

#include "core/WebAddress.h"

namespace rw {

void Links::ShowHelp(DWORD_PTR data, UINT command) {
    if (const auto address = ShowHelpAddress(linkProduct, static_cast<std::uint32_t>(data), command)) {
        OpenWebAddress(address->c_str(), true);
    }
}

void Links::OpenWebAddress(const wchar_t* address, bool addVersion) {
    if (webLauncher) rw::OpenWebAddress(*webLauncher, address, addVersion);
}

void Links::OpenHealthHint(std::uint32_t hint) {
    OpenWebAddress(HealthHintAddress(linkProduct, hint).c_str(), true);
}

}  // namespace rw
