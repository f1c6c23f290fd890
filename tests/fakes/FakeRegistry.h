// An in-memory registry that answers like the real one for everything the settings store
// relies on: case-insensitive key and value names, missing key vs missing value, buffer too
// small, creation of parent keys.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace rw::test {

class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override;
    long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override;
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    void CloseKey(RegKey key) override;

    void Clear();
    bool KeyExists(RootKey root, const std::wstring& path) const;
    int openKeys() const { return static_cast<int>(handles_.size()); }
    int valueWrites = 0;  // SetValue calls that wrote

private:
    struct Key {
        std::map<std::wstring, Value> values;  // by lower-cased name
    };
    static std::wstring Fold(const std::wstring& text);
    static std::wstring Normalise(RootKey root, const std::wstring& path);

    std::map<std::wstring, Key> keys_;  // by normalised "root\path"
    std::map<RegKey, std::wstring> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
};

}  // namespace rw::test
