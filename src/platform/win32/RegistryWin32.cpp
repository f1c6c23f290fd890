// The registry seam over advapi32.
#include <windows.h>

#include "platform/win32/RegistryWin32.h"

namespace rw {

long RegistryWin32::OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExW(reinterpret_cast<HKEY>(root), path.c_str(), 0, access, &opened);
    *key = rc == ERROR_SUCCESS ? opened : nullptr;
    return rc;
}
long RegistryWin32::CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) {
    HKEY created = nullptr;
    const LONG rc = RegCreateKeyExW(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &created, nullptr);
    *key = rc == ERROR_SUCCESS ? created : nullptr;
    return rc;
}
long RegistryWin32::QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) {
    DWORD t = REG_NONE;
    DWORD s = size ? *size : 0;
    const LONG rc = RegQueryValueExW(static_cast<HKEY>(key), name, nullptr, &t, data, size ? &s : nullptr);
    if (type && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)) *type = t;
    if (size && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)) *size = s;
    return rc;
}
long RegistryWin32::SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) {
    return RegSetValueExW(static_cast<HKEY>(key), name, 0, type, data, size);
}
void RegistryWin32::CloseKey(RegKey key) {
    RegCloseKey(static_cast<HKEY>(key));
}

}  // namespace rw
