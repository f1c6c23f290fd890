// The registry seam over advapi32.
#include <windows.h>

#include "platform/Registry.h"

namespace rw {
namespace {

class RegistryWin32 final : public Registry {
public:
    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        HKEY opened = nullptr;
        const LONG rc = RegOpenKeyExW(reinterpret_cast<HKEY>(root), path.c_str(), 0, access, &opened);
        *key = rc == ERROR_SUCCESS ? opened : nullptr;
        return rc;
    }
    long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        HKEY created = nullptr;
        const LONG rc = RegCreateKeyExW(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
        *key = rc == ERROR_SUCCESS ? created : nullptr;
        return rc;
    }
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        DWORD t = REG_NONE;
        DWORD s = size ? *size : 0;
        const LONG rc = RegQueryValueExW(static_cast<HKEY>(key), name, nullptr, &t, data, size ? &s : nullptr);
        if (type && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)) *type = t;
        if (size && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)) *size = s;
        return rc;
    }
    long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        return RegSetValueExW(static_cast<HKEY>(key), name, 0, type, data, size);
    }
    void CloseKey(RegKey key) override { RegCloseKey(static_cast<HKEY>(key)); }
};

}  // namespace

Registry* DefaultRegistry() {
    static RegistryWin32 registry;
    return &registry;
}

}  // namespace rw
