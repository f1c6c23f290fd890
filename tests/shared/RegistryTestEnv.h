// The registry the shared settings cases run against: the fake in the native suite, the
// real (Wine) registry in the Windows suite. Both work under the company "QuillfenTest".
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "settings/SettingsStore.h"

namespace rw::test {

inline const wchar_t* const kTestCompany = L"QuillfenTest";
inline const wchar_t* const kTestProduct = L"Restwell";
// The suite's registry: the fake natively, the Win32 adapter over the real registry under Wine
// (defined per suite).
Registry& TestRegistry();
inline const SettingsIdentity kTestIdentity{kTestCompany, kTestProduct, &TestRegistry()};

// Removes the test company's keys, plain and policy, in both hives (defined per suite).
void ResetTestRegistry();

// A suite that starts and ends with the test company's keys gone.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestRegistry(); }
    void TearDown() override { ResetTestRegistry(); }
};

bool TestKeyExists(RootKey root, const std::wstring& path);
void PutRawValue(RootKey root, const std::wstring& path, const wchar_t* name, std::uint32_t type,
                 const std::vector<std::uint8_t>& data);
// Plain or policy path of the test identity.
std::wstring TestPath(bool policy, const wchar_t* section = nullptr);
void PutDword(RootKey root, bool policy, const wchar_t* section, const wchar_t* name, std::uint32_t value);
void PutString(RootKey root, bool policy, const wchar_t* section, const wchar_t* name, const std::wstring& text,
               bool withTerminator = true);
bool GetRawValue(RootKey root, const std::wstring& path, const wchar_t* name, std::uint32_t& type,
                 std::vector<std::uint8_t>& data);

}  // namespace rw::test
