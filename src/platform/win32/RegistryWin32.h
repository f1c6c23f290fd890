// The registry seam over advapi32.
#pragma once
#include "platform/Registry.h"

namespace rw {

class RegistryWin32 final : public Registry {
public:
    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override;
    long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override;
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    void CloseKey(RegKey key) override;
};

}  // namespace rw
