// Registry seam: the few key and value operations the settings store needs, with Win32
// error codes and the real HKEY root values.
#pragma once
#include <cstdint>
#include <string>

namespace rw {

using RootKey = std::uintptr_t;  // an HKEY value, or one of the settings store's pseudo-roots
constexpr RootKey kHkeyCurrentUser = 0x80000001u;
constexpr RootKey kHkeyLocalMachine = 0x80000002u;

// Registry value types (REG_*).
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

// Access masks (KEY_READ; KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE).
constexpr std::uint32_t kKeyRead = 0x20019u;
constexpr std::uint32_t kKeyReadWrite = 0x2001Fu;

using RegKey = void*;

class Registry {
public:
    virtual ~Registry() = default;
    // Returns a Win32 error code; on success *key must be closed with CloseKey.
    virtual long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) = 0;
    // Opens or creates the key and every missing parent.
    virtual long CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) = 0;
    // RegQueryValueEx semantics: data may be null to ask for type and size; a buffer that is
    // too small gives ERROR_MORE_DATA with *size set to the stored size.
    virtual long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
    virtual long SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

// A registry with no keys that refuses every write: what settings calls reach before the
// start-up has handed over the real one.
Registry& UnavailableRegistry();

// Closes a key on scope exit.
class RegKeyOwner {
public:
    explicit RegKeyOwner(Registry& registry) : registry_(registry) {}
    RegKeyOwner(const RegKeyOwner&) = delete;
    RegKeyOwner& operator=(const RegKeyOwner&) = delete;
    ~RegKeyOwner() {
        if (key_) registry_.CloseKey(key_);
    }
    RegKey* receive() { return &key_; }
    RegKey get() const { return key_; }

private:
    Registry& registry_;
    RegKey key_ = nullptr;
};

}  // namespace rw
