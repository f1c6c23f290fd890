#include "RegistryTestEnv.h"

#include <gtest/gtest.h>

namespace rw::test {

bool TestKeyExists(RootKey root, const std::wstring& path) {
    Registry& registry = TestRegistry();
    RegKeyOwner key(registry);
    return registry.OpenKey(root, path, kKeyRead, key.receive()) == kErrorSuccess;
}

void PutRawValue(RootKey root, const std::wstring& path, const wchar_t* name, std::uint32_t type,
                 const std::vector<std::uint8_t>& data) {
    Registry& registry = TestRegistry();
    RegKeyOwner key(registry);
    ASSERT_EQ(registry.CreateKey(root, path, kKeyReadWrite, key.receive()), kErrorSuccess);
    ASSERT_EQ(registry.SetValue(key.get(), name, type, data.data(), static_cast<std::uint32_t>(data.size())),
              kErrorSuccess);
}

std::wstring TestPath(bool policy, const wchar_t* section) {
    std::wstring path;
    SettingsKeyPath(policy, kTestCompany, kTestProduct, section, path);
    return path;
}

void PutDword(RootKey root, bool policy, const wchar_t* section, const wchar_t* name, std::uint32_t value) {
    PutRawValue(root, TestPath(policy, section), name, kRegDword,
                {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                 static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void PutString(RootKey root, bool policy, const wchar_t* section, const wchar_t* name, const std::wstring& text,
               bool withTerminator) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    if (withTerminator) bytes.insert(bytes.end(), {0, 0});
    PutRawValue(root, TestPath(policy, section), name, kRegSz, bytes);
}

bool GetRawValue(RootKey root, const std::wstring& path, const wchar_t* name, std::uint32_t& type,
                 std::vector<std::uint8_t>& data) {
    Registry& registry = TestRegistry();
    RegKeyOwner key(registry);
    if (registry.OpenKey(root, path, kKeyRead, key.receive()) != kErrorSuccess) return false;
    std::uint32_t size = 0;
    if (registry.QueryValue(key.get(), name, &type, nullptr, &size) != kErrorSuccess) return false;
    data.assign(size, 0);
    return registry.QueryValue(key.get(), name, &type, data.data(), &size) == kErrorSuccess;
}

}  // namespace rw::test
