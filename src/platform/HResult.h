// Result codes shared by the settings layer, the image loader and the update check. The
// values are those of the Windows SDK so they can be compared with what Win32 returns.
#pragma once
#include <cstdint>

namespace rw {

using HResult = std::int32_t;

constexpr HResult kS_OK = 0;
constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult kE_POINTER = static_cast<HResult>(0x80004003u);
constexpr HResult kE_UNEXPECTED = static_cast<HResult>(0x8000FFFFu);
constexpr HResult kE_INVALIDARG = static_cast<HResult>(0x80070057u);
constexpr HResult kTYPE_E_TYPEMISMATCH = static_cast<HResult>(0x80028CA0u);
constexpr HResult kTYPE_E_BUFFERTOOSMALL = static_cast<HResult>(0x80028016u);

// Win32 error codes the portable code needs to name.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNotFound = 1168;

constexpr HResult HResultFromWin32(long error) {
    return error <= 0 ? static_cast<HResult>(error)
                      : static_cast<HResult>((static_cast<std::uint32_t>(error) & 0xFFFFu) | 0x80070000u);
}

constexpr bool Succeeded(HResult hr) { return hr >= 0; }
constexpr bool Failed(HResult hr) { return hr < 0; }

}  // namespace rw
