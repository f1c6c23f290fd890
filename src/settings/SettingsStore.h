// Typed reads and writes of the program's registry values, with the administrator policy
// twins under Software\Policies. Stateless: every call opens its key and closes it again.
#pragma once
#include <cstdint>
#include <string>

#include "platform/HResult.h"
#include "platform/Registry.h"

namespace rw {

// Pseudo-roots: a real root together with the order in which the policy and plain paths
// are read.
constexpr rw::RootKey ROOT_USER_POLICY = 0x80001;
constexpr rw::RootKey ROOT_MACHINE_POLICY = 0x80002;
constexpr rw::RootKey ROOT_USER_OVERLAY = 0x80011;
constexpr rw::RootKey ROOT_MACHINE_OVERLAY = 0x80012;

class UnsavedSettings;

// Whose settings, and the registry they live in: the start-up hands its adapter over; until
// then every read finds nothing and every write fails.
struct SettingsIdentity {
    std::wstring company;  // "Quillfen"
    std::wstring product;  // "Restwell"
    rw::Registry* registry = &rw::UnavailableRegistry();
    // Where the catalogue's writes that fail keep their values (none: they are only lost).
    rw::UnsavedSettings* unsaved = nullptr;
    rw::Registry& store() const { return registry ? *registry : rw::UnavailableRegistry(); }
};

// Names longer than this (without the terminator) cannot form a key path.
constexpr size_t kSettingsNameMax = 127;

// Software\[Policies\]company\product[\section]; false when company or product is missing,
// empty or too long, or when a section is given but empty.
bool SettingsKeyPath(bool policy, const wchar_t* company, const wchar_t* product, const wchar_t* section,
                     std::wstring& path);

// Every call names the value by the identity's company\product, an optional section and the
// value's name, under a real root or a pseudo-root.

// True when the value exists, of any type, under the policy path of the real root.
bool SettingsPolicyValueExists(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section,
                               const wchar_t* name);

rw::HResult SettingsGetDword(const SettingsIdentity& identity, rw::RootKey root, bool policy, const wchar_t* section,
                             const wchar_t* name, std::uint32_t& value, bool* fromPolicy = nullptr);
rw::HResult SettingsSetDword(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section,
                             const wchar_t* name, std::uint32_t value);

// Empties the buffer first; the text read is not necessarily terminated inside it.
rw::HResult SettingsGetString(const SettingsIdentity& identity, rw::RootKey root, bool policy, const wchar_t* section,
                              const wchar_t* name, wchar_t* buffer, std::uint32_t capacity);
rw::HResult SettingsSetString(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section,
                              const wchar_t* name, const wchar_t* text);

// size: in, the buffer's size in bytes; out, the stored size.
rw::HResult SettingsGetBinary(const SettingsIdentity& identity, rw::RootKey root, bool policy, const wchar_t* section,
                              const wchar_t* name, std::uint8_t* buffer, std::uint32_t& size);
rw::HResult SettingsSetBinary64(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section,
                                const wchar_t* name, const std::uint8_t* value8);

// Conveniences over the reads above for callers that want whole values.
// The string cut at its first NUL within capacity; false (text untouched) on failure.
bool SettingsReadText(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section, const wchar_t* name,
                      std::uint32_t capacity, std::wstring& text);
// An 8-byte binary value; false when missing, unreadable or not exactly 8 bytes.
bool SettingsReadInt64(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section, const wchar_t* name,
                       std::int64_t& value);
rw::HResult SettingsWriteInt64(const SettingsIdentity& identity, rw::RootKey root, const wchar_t* section,
                               const wchar_t* name, std::int64_t value);

}  // namespace rw
