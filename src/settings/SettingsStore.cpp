#include "settings/SettingsStore.h"

#include <cwchar>
#include <vector>

#include "core/CalendarTime.h"

namespace rw {

namespace {

bool IsPseudoRoot(RootKey root) {
    return root == ROOT_USER_POLICY || root == ROOT_MACHINE_POLICY || root == ROOT_USER_OVERLAY ||
           root == ROOT_MACHINE_OVERLAY;
}
bool IsOverlay(RootKey root) {
    return root == ROOT_USER_OVERLAY || root == ROOT_MACHINE_OVERLAY;
}
RootKey RealRootOf(RootKey pseudo) {
    return (pseudo == ROOT_USER_POLICY || pseudo == ROOT_USER_OVERLAY) ? kHkeyCurrentUser : kHkeyLocalMachine;
}

bool ValidName(const wchar_t* name) {
    return name && name[0] != 0 && std::wcslen(name) <= kSettingsNameMax;
}

// Runs read(realRoot, policy) in the order the pseudo-root asks for; reports whether the
// successful read was the policy one.
template <typename Read>
HResult ReadThroughRoot(RootKey root, bool policy, bool* fromPolicy, Read read) {
    if (!IsPseudoRoot(root)) {
        const HResult hr = read(root, policy);
        if (Succeeded(hr) && fromPolicy) *fromPolicy = policy;
        return hr;
    }
    const RootKey real = RealRootOf(root);
    HResult hr = read(real, true);
    bool policyHit = Succeeded(hr);
    if (Failed(hr) && IsOverlay(root)) hr = read(real, false);
    if (Succeeded(hr) && fromPolicy) *fromPolicy = policyHit;
    return hr;
}

// Opens company\product\section of the real root for reading.
HResult OpenForRead(const SettingsIdentity& identity, RootKey root, bool policy, const wchar_t* section,
                    RegKeyOwner& key) {
    std::wstring path;
    if (!SettingsKeyPath(policy, identity.company.c_str(), identity.product.c_str(), section, path))
        return kE_INVALIDARG;
    return HResultFromWin32(identity.store().OpenKey(root, path, kKeyRead, key.receive()));
}

HResult WriteValue(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                   std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    std::wstring path;
    if (!SettingsKeyPath(false, identity.company.c_str(), identity.product.c_str(), section, path))
        return kE_INVALIDARG;
    Registry& registry = identity.store();
    RegKeyOwner key(registry);
    long rc = registry.CreateKey(root, path, kKeyReadWrite, key.receive());
    if (rc == kErrorSuccess) rc = registry.SetValue(key.get(), name, type, data, size);
    return HResultFromWin32(rc);
}

// Registry strings are UTF-16; wchar_t is 16 bits on Windows and 32 bits elsewhere.
std::vector<std::uint8_t> ToUtf16Bytes(const wchar_t* text) {
    std::vector<std::uint8_t> bytes;
    for (const wchar_t* p = text;; ++p) {
        const auto unit = static_cast<std::uint16_t>(*p);
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        if (*p == 0) break;
    }
    return bytes;
}

}  // namespace

bool SettingsKeyPath(bool policy, const wchar_t* company, const wchar_t* product, const wchar_t* section,
                     std::wstring& path) {
    if (!ValidName(company) || !ValidName(product)) return false;
    if (section && section[0] == 0) return false;
    std::wstring built = L"Software\\";
    if (policy) built += L"Policies\\";
    built += company;
    built += L'\\';
    built += product;
    if (section) {
        built += L'\\';
        built += section;
    }
    path = std::move(built);
    return true;
}

bool SettingsPolicyValueExists(const SettingsIdentity& identity, RootKey root, const wchar_t* section,
                               const wchar_t* name) {
    Registry& registry = identity.store();
    RegKeyOwner key(registry);
    if (Failed(OpenForRead(identity, root, true, section, key))) return false;
    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    return registry.QueryValue(key.get(), name, &type, nullptr, &size) == kErrorSuccess;
}

HResult SettingsGetDword(const SettingsIdentity& identity, RootKey root, bool policy, const wchar_t* section,
                         const wchar_t* name, std::uint32_t& value, bool* fromPolicy) {
    Registry& registry = identity.store();
    return ReadThroughRoot(root, policy, fromPolicy, [&](RootKey real, bool usePolicy) -> HResult {
        RegKeyOwner key(registry);
        const HResult opened = OpenForRead(identity, real, usePolicy, section, key);
        if (Failed(opened)) return opened;
        std::uint8_t data[4] = {};
        std::uint32_t type = kRegNone;
        std::uint32_t size = sizeof data;
        const long rc = registry.QueryValue(key.get(), name, &type, data, &size);
        if (type != kRegDword) return kTYPE_E_TYPEMISMATCH;  // also a missing value: no type came back
        if (rc != kErrorSuccess) return HResultFromWin32(rc);
        value = static_cast<std::uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                (static_cast<std::uint32_t>(data[3]) << 24);
        return kS_OK;
    });
}

HResult SettingsSetDword(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                         std::uint32_t value) {
    const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                  static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return WriteValue(identity, root, section, name, kRegDword, data, sizeof data);
}

HResult SettingsGetString(const SettingsIdentity& identity, RootKey root, bool policy, const wchar_t* section,
                          const wchar_t* name, wchar_t* buffer, std::uint32_t capacity) {
    Registry& registry = identity.store();
    if (!buffer) return kE_POINTER;
    if (capacity == 0) return kE_INVALIDARG;
    buffer[0] = 0;
    return ReadThroughRoot(root, policy, nullptr, [&](RootKey real, bool usePolicy) -> HResult {
        buffer[0] = 0;
        RegKeyOwner key(registry);
        const HResult opened = OpenForRead(identity, real, usePolicy, section, key);
        if (Failed(opened)) return opened;
        std::vector<std::uint8_t> bytes(static_cast<size_t>(capacity) * 2);
        std::uint32_t type = kRegNone;
        std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
        const long rc = registry.QueryValue(key.get(), name, &type, bytes.data(), &size);
        if (rc != kErrorSuccess) return HResultFromWin32(rc);
        if (type != kRegSz) return kTYPE_E_TYPEMISMATCH;
        const std::uint32_t units = size / 2;
        for (std::uint32_t i = 0; i < units; ++i) {
            buffer[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        }
        if (units < capacity) buffer[units] = 0;
        return kS_OK;
    });
}

HResult SettingsSetString(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                          const wchar_t* text) {
    if (!text) return kE_POINTER;
    const std::vector<std::uint8_t> bytes = ToUtf16Bytes(text);
    return WriteValue(identity, root, section, name, kRegSz, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

HResult SettingsGetBinary(const SettingsIdentity& identity, RootKey root, bool policy, const wchar_t* section,
                          const wchar_t* name, std::uint8_t* buffer, std::uint32_t& size) {
    if (!buffer) return kE_POINTER;
    Registry& registry = identity.store();
    return ReadThroughRoot(root, policy, nullptr, [&](RootKey real, bool usePolicy) -> HResult {
        RegKeyOwner key(registry);
        const HResult opened = OpenForRead(identity, real, usePolicy, section, key);
        if (Failed(opened)) return opened;
        std::uint32_t type = kRegNone;
        std::uint32_t stored = 0;
        long rc = registry.QueryValue(key.get(), name, &type, nullptr, &stored);
        if (rc != kErrorSuccess) return HResultFromWin32(rc);
        if (type != kRegBinary) return kTYPE_E_TYPEMISMATCH;
        if (stored > size) return kTYPE_E_BUFFERTOOSMALL;
        rc = registry.QueryValue(key.get(), name, &type, buffer, &stored);
        if (rc != kErrorSuccess) return HResultFromWin32(rc);
        size = stored;
        return kS_OK;
    });
}

HResult SettingsSetBinary64(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                            const std::uint8_t* value8) {
    if (!value8) return kE_POINTER;
    return WriteValue(identity, root, section, name, kRegBinary, value8, 8);
}

bool SettingsReadText(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                      std::uint32_t capacity, std::wstring& text) {
    std::vector<wchar_t> buffer(capacity ? capacity : 1);
    if (Failed(SettingsGetString(identity, root, false, section, name, buffer.data(), capacity))) {
        return false;
    }
    size_t length = 0;
    while (length < capacity && buffer[length] != 0) ++length;
    text.assign(buffer.data(), length);
    return true;
}

bool SettingsReadInt64(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                       std::int64_t& value) {
    std::uint8_t data[8] = {};
    std::uint32_t size = sizeof data;
    if (Failed(SettingsGetBinary(identity, root, false, section, name, data, size)) || size != 8) {
        return false;
    }
    value = DecodeTime(data);
    return true;
}

HResult SettingsWriteInt64(const SettingsIdentity& identity, RootKey root, const wchar_t* section, const wchar_t* name,
                           std::int64_t value) {
    const Bytes8 bytes = EncodeTime(value);
    return SettingsSetBinary64(identity, root, section, name, bytes.data());
}

}  // namespace rw
