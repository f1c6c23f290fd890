// Settings store cases. The same file runs natively against the fake registry and under
// Wine against the real one, so any disagreement shows up as a failure in one of the two.
#include <gtest/gtest.h>

#include "RegistryTestEnv.h"
#include "core/CalendarTime.h"
#include "settings/SettingsStore.h"

using namespace rw;
using namespace rw::test;

namespace {

const wchar_t* const C = kTestCompany;
const wchar_t* const P = kTestProduct;
const wchar_t* const kBreaks = L"Breaks";

class SettingsStore : public RegistryTest {};

TEST_F(SettingsStore, KeyPathsAreBuiltFromTheIdentityAndSection) {
    std::wstring path = L"unchanged";
    EXPECT_TRUE(SettingsKeyPath(false, L"Quillfen", L"Restwell", L"Breaks", path));
    EXPECT_EQ(path, L"Software\\Quillfen\\Restwell\\Breaks");
    EXPECT_TRUE(SettingsKeyPath(true, L"Quillfen", L"Restwell", L"Breaks", path));
    EXPECT_EQ(path, L"Software\\Policies\\Quillfen\\Restwell\\Breaks");
    EXPECT_TRUE(SettingsKeyPath(false, L"Quillfen", L"Restwell", nullptr, path));
    EXPECT_EQ(path, L"Software\\Quillfen\\Restwell");

    path = L"unchanged";
    EXPECT_FALSE(SettingsKeyPath(false, L"Quillfen", L"Restwell", L"", path));
    EXPECT_FALSE(SettingsKeyPath(false, L"", L"Restwell", nullptr, path));
    EXPECT_FALSE(SettingsKeyPath(false, L"Quillfen", nullptr, nullptr, path));
    EXPECT_FALSE(SettingsKeyPath(false, std::wstring(128, L'x').c_str(), L"Restwell", nullptr, path));
    EXPECT_TRUE(SettingsKeyPath(false, std::wstring(127, L'x').c_str(), L"Restwell", nullptr, path));
    EXPECT_EQ(path.size(), 9u + 127u + 1u + 8u);
}

TEST_F(SettingsStore, DwordReadResultsAndTheCallersValue) {
    std::uint32_t value = 77;
    // Missing key: the system's file-not-found code.
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Work", value), HResultFromWin32(2));
    EXPECT_EQ(HResultFromWin32(2), static_cast<HResult>(0x80070002u));
    // Missing value in an existing key: a type mismatch, not file-not-found.
    PutDword(kHkeyCurrentUser, false, kBreaks, L"Other", 1);
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Work", value), kTYPE_E_TYPEMISMATCH);
    EXPECT_EQ(value, 77u);
    // Wrong types.
    PutString(kHkeyCurrentUser, false, kBreaks, L"Work", L"55");
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Work", value), kTYPE_E_TYPEMISMATCH);
    PutRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"Work", kRegBinary, {55, 0, 0, 0});
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Work", value), kTYPE_E_TYPEMISMATCH);
    // A REG_DWORD that is too large for the 4-byte buffer.
    PutRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"Work", kRegDword, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Work", value), HResultFromWin32(234));
    EXPECT_EQ(value, 77u);
    // Empty section.
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, L"", L"Work", value), kE_INVALIDARG);
    EXPECT_EQ(value, 77u);
    // Success, names are case-insensitive.
    PutDword(kHkeyCurrentUser, false, kBreaks, L"Work", 0xFFFFFFFEu);
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, L"BREAKS", L"work", value), kS_OK);
    EXPECT_EQ(value, 0xFFFFFFFEu);
}

TEST_F(SettingsStore, PolicyOnlyRootsIgnoreThePlainKey) {
    PutDword(kHkeyCurrentUser, false, nullptr, L"HideNews", 2);
    PutDword(kHkeyLocalMachine, false, L"Service", L"DisableWelcomeNewUsers", 1);
    std::uint32_t value = 9;
    bool fromPolicy = false;
    EXPECT_TRUE(
        Failed(SettingsGetDword(kTestIdentity, ROOT_USER_POLICY, false, nullptr, L"HideNews", value, &fromPolicy)));
    EXPECT_TRUE(Failed(
        SettingsGetDword(kTestIdentity, ROOT_MACHINE_POLICY, false, L"Service", L"DisableWelcomeNewUsers", value)));
    EXPECT_EQ(value, 9u);
    PutDword(kHkeyCurrentUser, true, nullptr, L"HideNews", 1);
    EXPECT_EQ(SettingsGetDword(kTestIdentity, ROOT_USER_POLICY, false, nullptr, L"HideNews", value, &fromPolicy),
              kS_OK);
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(fromPolicy);
}

TEST_F(SettingsStore, OverlayRootsPreferPolicyAndReportWhereTheValueCameFrom) {
    struct Case {
        RootKey root;
        RootKey real;
        const wchar_t* section;
    };
    for (const Case& c : {Case{ROOT_USER_OVERLAY, kHkeyCurrentUser, kBreaks},
                          Case{ROOT_MACHINE_OVERLAY, kHkeyLocalMachine, L"Service"}}) {
        ResetTestRegistry();
        std::uint32_t value = 0;
        bool fromPolicy = true;
        // Only the plain value: that value, flag false.
        PutDword(c.real, false, c.section, L"Value", 10);
        EXPECT_EQ(SettingsGetDword(kTestIdentity, c.root, false, c.section, L"Value", value, &fromPolicy), kS_OK);
        EXPECT_EQ(value, 10u);
        EXPECT_FALSE(fromPolicy);
        // The caller's policy flag is ignored with a pseudo-root.
        EXPECT_EQ(SettingsGetDword(kTestIdentity, c.root, true, c.section, L"Value", value, &fromPolicy), kS_OK);
        EXPECT_FALSE(fromPolicy);
        // A policy value of the wrong type is skipped.
        PutString(c.real, true, c.section, L"Value", L"20");
        EXPECT_EQ(SettingsGetDword(kTestIdentity, c.root, false, c.section, L"Value", value, &fromPolicy), kS_OK);
        EXPECT_EQ(value, 10u);
        EXPECT_FALSE(fromPolicy);
        // Both present: the policy value, flag true.
        PutDword(c.real, true, c.section, L"Value", 20);
        EXPECT_EQ(SettingsGetDword(kTestIdentity, c.root, false, c.section, L"Value", value, &fromPolicy), kS_OK);
        EXPECT_EQ(value, 20u);
        EXPECT_TRUE(fromPolicy);
        // A failed read leaves the flag alone.
        fromPolicy = true;
        EXPECT_TRUE(Failed(SettingsGetDword(kTestIdentity, c.root, false, c.section, L"Missing", value, &fromPolicy)));
        EXPECT_TRUE(fromPolicy);
        EXPECT_EQ(value, 20u);
    }
}

TEST_F(SettingsStore, RealRootWithPolicyFlagReadsThePolicyPath) {
    PutDword(kHkeyCurrentUser, true, kBreaks, L"Enable", 0);
    std::uint32_t value = 5;
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, true, kBreaks, L"Enable", value), kS_OK);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(SettingsGetDword(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"Enable", value), HResultFromWin32(2));
}

TEST_F(SettingsStore, StringReadRejectsBadArgumentsAndOtherTypes) {
    wchar_t buffer[8] = L"xxxxxxx";
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", nullptr, 8), kE_POINTER);
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 0), kE_INVALIDARG);
    EXPECT_EQ(buffer[0], L'x');
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, L"", L"S", buffer, 8), kE_INVALIDARG);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = L'x';
    PutDword(kHkeyCurrentUser, false, nullptr, L"Other", 1);
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 8), HResultFromWin32(2));
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = L'x';
    PutRawValue(kHkeyCurrentUser, TestPath(false), L"S", kRegExpandSz, {'%', 0, 'A', 0, '%', 0, 0, 0});
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 8),
              kTYPE_E_TYPEMISMATCH);
    EXPECT_EQ(buffer[0], 0);

    PutDword(kHkeyCurrentUser, false, nullptr, L"S", 3);
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 8),
              kTYPE_E_TYPEMISMATCH);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(SettingsStore, StringReadCapacityRules) {
    wchar_t buffer[5];
    // Longer than the buffer: the system's more-data code.
    PutString(kHkeyCurrentUser, false, nullptr, L"S", L"abcdefgh");
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 5),
              HResultFromWin32(234));
    EXPECT_EQ(HResultFromWin32(234), static_cast<HResult>(0x800700EAu));
    // Text and terminator fit exactly.
    PutString(kHkeyCurrentUser, false, nullptr, L"S", L"abcd");
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 5), kS_OK);
    EXPECT_EQ(std::wstring(buffer), L"abcd");
    // Stored without a terminator, filling the buffer: the text cut at the capacity.
    PutString(kHkeyCurrentUser, false, nullptr, L"S", L"vwxyz", false);
    EXPECT_EQ(SettingsGetString(kTestIdentity, kHkeyCurrentUser, false, nullptr, L"S", buffer, 5), kS_OK);
    EXPECT_EQ(std::wstring(buffer, 5), L"vwxyz");
    std::wstring text;
    EXPECT_TRUE(SettingsReadText(kTestIdentity, kHkeyCurrentUser, nullptr, L"S", 5, text));
    EXPECT_EQ(text, L"vwxyz");
    // An embedded NUL ends the text.
    PutRawValue(kHkeyCurrentUser, TestPath(false), L"S", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0});
    EXPECT_TRUE(SettingsReadText(kTestIdentity, kHkeyCurrentUser, nullptr, L"S", 5, text));
    EXPECT_EQ(text, L"a");
    // An empty value.
    PutString(kHkeyCurrentUser, false, nullptr, L"S", L"");
    text = L"old";
    EXPECT_TRUE(SettingsReadText(kTestIdentity, kHkeyCurrentUser, nullptr, L"S", 5, text));
    EXPECT_EQ(text, L"");
}

TEST_F(SettingsStore, StringOverlayAndRoundTrip) {
    const std::wstring title = L"Gr\u00fc\u00dfe \u2014 caf\u00e9";
    EXPECT_EQ(SettingsSetString(kTestIdentity, kHkeyLocalMachine, L"Service", L"BrandTitle", title.c_str()), kS_OK);
    std::wstring text;
    EXPECT_TRUE(SettingsReadText(kTestIdentity, ROOT_MACHINE_OVERLAY, L"Service", L"BrandTitle", 81, text));
    EXPECT_EQ(text, title);
    EXPECT_FALSE(SettingsReadText(kTestIdentity, ROOT_MACHINE_POLICY, L"Service", L"BrandTitle", 81, text));
    PutString(kHkeyLocalMachine, true, L"Service", L"BrandTitle", L"Policy title");
    EXPECT_TRUE(SettingsReadText(kTestIdentity, ROOT_MACHINE_OVERLAY, L"Service", L"BrandTitle", 81, text));
    EXPECT_EQ(text, L"Policy title");
    // Stored with its terminator: (length + 1) × 2 bytes of REG_SZ.
    std::uint32_t type = 0;
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(GetRawValue(kHkeyLocalMachine, TestPath(false, L"Service"), L"BrandTitle", type, raw));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(raw.size(), (title.size() + 1) * 2);
    EXPECT_EQ(raw[raw.size() - 1], 0);
    EXPECT_EQ(raw[raw.size() - 2], 0);
    EXPECT_EQ(SettingsSetString(kTestIdentity, kHkeyLocalMachine, L"Service", L"BrandTitle", nullptr), kE_POINTER);
}

TEST_F(SettingsStore, BinaryReadSizeRules) {
    std::uint8_t buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    std::uint32_t size = 8;
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", nullptr, size), kE_POINTER);
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", buffer, size),
              HResultFromWin32(2));
    PutDword(kHkeyCurrentUser, false, kBreaks, L"Other", 0);
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", buffer, size),
              HResultFromWin32(2));

    PutRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"B", kRegBinary, {1, 2, 3, 4});
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", buffer, size), kS_OK);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[4], 9);
    std::int64_t value = 42;
    EXPECT_FALSE(SettingsReadInt64(kTestIdentity, kHkeyCurrentUser, kBreaks, L"B", value));
    EXPECT_EQ(value, 42);

    PutRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"B", kRegBinary, std::vector<std::uint8_t>(12, 7));
    size = 8;
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", buffer, size),
              kTYPE_E_BUFFERTOOSMALL);
    EXPECT_EQ(size, 8u);

    PutDword(kHkeyCurrentUser, false, kBreaks, L"B", 5);
    EXPECT_EQ(SettingsGetBinary(kTestIdentity, kHkeyCurrentUser, false, kBreaks, L"B", buffer, size),
              kTYPE_E_TYPEMISMATCH);
}

TEST_F(SettingsStore, BinaryValuesAreEightBytesLittleEndian) {
    const std::int64_t t = -1234567890123LL;
    EXPECT_EQ(SettingsWriteInt64(kTestIdentity, kHkeyCurrentUser, kBreaks, L"TimeWorkStart", t), kS_OK);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(GetRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"TimeWorkStart", type, raw));
    EXPECT_EQ(type, kRegBinary);
    ASSERT_EQ(raw.size(), 8u);
    EXPECT_EQ(DecodeTime(raw.data()), t);
    EXPECT_EQ(raw[0], static_cast<std::uint8_t>(t & 0xFF));
    std::int64_t read = 0;
    EXPECT_TRUE(SettingsReadInt64(kTestIdentity, ROOT_USER_OVERLAY, kBreaks, L"TimeWorkStart", read));
    EXPECT_EQ(read, t);
    EXPECT_EQ(SettingsSetBinary64(kTestIdentity, kHkeyCurrentUser, kBreaks, L"X", nullptr), kE_POINTER);
}

TEST_F(SettingsStore, WritesCreateTheWholeChainAndNeverTouchPolicies) {
    EXPECT_FALSE(TestKeyExists(kHkeyCurrentUser, L"Software\\QuillfenTest"));
    EXPECT_EQ(SettingsSetDword(kTestIdentity, kHkeyCurrentUser, kBreaks, L"Work", 45), kS_OK);
    EXPECT_TRUE(TestKeyExists(kHkeyCurrentUser, L"Software\\QuillfenTest"));
    EXPECT_TRUE(TestKeyExists(kHkeyCurrentUser, L"Software\\QuillfenTest\\Restwell\\Breaks"));
    std::uint32_t type = 0;
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(GetRawValue(kHkeyCurrentUser, TestPath(false, kBreaks), L"Work", type, raw));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(raw, (std::vector<std::uint8_t>{45, 0, 0, 0}));

    // Pseudo-roots are not real roots: a write through one fails and creates nothing.
    EXPECT_TRUE(Failed(SettingsSetDword(kTestIdentity, ROOT_USER_POLICY, kBreaks, L"Work", 1)));
    EXPECT_TRUE(Failed(SettingsSetDword(kTestIdentity, ROOT_MACHINE_OVERLAY, L"Service", L"X", 1)));
    EXPECT_EQ(SettingsSetDword(kTestIdentity, kHkeyCurrentUser, L"", L"Work", 1), kE_INVALIDARG);
    EXPECT_EQ(SettingsSetString(SettingsIdentity{L"", P, &TestRegistry()}, kHkeyCurrentUser, nullptr, L"S", L"x"),
              kE_INVALIDARG);
    EXPECT_FALSE(TestKeyExists(kHkeyCurrentUser, L"Software\\Policies\\QuillfenTest"));
    EXPECT_FALSE(TestKeyExists(kHkeyLocalMachine, L"Software\\Policies\\QuillfenTest"));
}

TEST_F(SettingsStore, PolicyValueExistsLooksOnlyAtThePolicyPath) {
    PutDword(kHkeyCurrentUser, false, kBreaks, L"Work", 50);
    EXPECT_FALSE(SettingsPolicyValueExists(kTestIdentity, kHkeyCurrentUser, kBreaks, L"Work"));
    PutString(kHkeyCurrentUser, true, kBreaks, L"Work", L"not a number");
    EXPECT_TRUE(SettingsPolicyValueExists(kTestIdentity, kHkeyCurrentUser, kBreaks, L"Work"));
    EXPECT_FALSE(SettingsPolicyValueExists(kTestIdentity, kHkeyCurrentUser, kBreaks, L"Enable"));
    EXPECT_FALSE(SettingsPolicyValueExists(kTestIdentity, kHkeyCurrentUser, L"", L"Work"));
}

TEST_F(SettingsStore, AFailedOverlayReadKeepsTheCallersValueAndFlag) {
    std::uint32_t value = 55;
    bool fromPolicy = true;
    const auto read = [&](RootKey root) {
        return SettingsGetDword(kTestIdentity, root, false, kBreaks, L"Work", value, &fromPolicy);
    };
    EXPECT_TRUE(Failed(read(ROOT_USER_OVERLAY)));
    EXPECT_EQ(value, 55u);
    EXPECT_TRUE(fromPolicy);
    PutString(kHkeyCurrentUser, false, kBreaks, L"Work", L"90");
    EXPECT_TRUE(Failed(read(ROOT_USER_OVERLAY)));
    EXPECT_EQ(value, 55u);
    PutDword(kHkeyCurrentUser, false, kBreaks, L"Work", 90);
    EXPECT_EQ(read(ROOT_USER_OVERLAY), kS_OK);
    EXPECT_EQ(value, 90u);
    EXPECT_FALSE(fromPolicy);
    // With a real root the plain path is read even though a policy value exists, and the
    // flag says so.
    PutDword(kHkeyCurrentUser, true, kBreaks, L"Work", 30);
    fromPolicy = true;
    EXPECT_EQ(read(kHkeyCurrentUser), kS_OK);
    EXPECT_EQ(value, 90u);
    EXPECT_FALSE(fromPolicy);
}

}  // namespace
