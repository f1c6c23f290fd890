// A settings key the user may not write: the catalogue's writes report the refusal, the choice
// is read back for the rest of the run (a policy still rules over it), and the first refusal is
// told once. Natively against the fake registry, under Wine against the real one.
#include <gtest/gtest.h>

#include "RegistryTestEnv.h"
#include "engine/PlannedBreakList.h"
#include "settings/SettingsCatalog.h"
#include "settings/UnsavedSettings.h"

using namespace rw;
using namespace rw::test;

namespace {

// The test registry, with every write refused as Windows refuses it for a read-only key.
class ReadOnlyRegistry final : public Registry {
public:
    long OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) override {
        return TestRegistry().OpenKey(root, path, access, key);
    }
    long CreateKey(RootKey, const std::wstring&, std::uint32_t, RegKey*) override { return kAccessDenied; }
    long QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        return TestRegistry().QueryValue(key, name, type, data, size);
    }
    long SetValue(RegKey, const wchar_t*, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return kAccessDenied;
    }
    void CloseKey(RegKey key) override { TestRegistry().CloseKey(key); }
    static constexpr long kAccessDenied = 5;
};

class UnsavedSettingsTest : public RegistryTest {
protected:
    ReadOnlyRegistry readOnly;
    UnsavedSettings unsaved;
    SettingsIdentity id{kTestCompany, kTestProduct, &readOnly, &unsaved};
};

TEST_F(UnsavedSettingsTest, RefusedChoicesHoldForTheRunAndTheFirstRefusalIsToldOnce) {
    int told = 0;
    unsaved.onFailure = [&] { ++told; };
    EXPECT_TRUE(Failed(WriteSettingDword(id, Setting::Work, 45)));
    EXPECT_TRUE(Failed(WriteSettingString(id, Setting::NotificationSound, L"C:\\bell.wav")));
    EXPECT_TRUE(Failed(WriteSettingInt64(id, Setting::TimeWorkStart, 1800000000)));
    EXPECT_EQ(told, 1);

    EXPECT_EQ(LoadBreakSettings(id).choice.workMinutes, 45) << "the choice holds for this run";
    EXPECT_EQ(ReadSettingString(id, Setting::NotificationSound), L"C:\\bell.wav");
    std::int64_t workStart = 0;
    EXPECT_TRUE(ReadSettingInt64(id, Setting::TimeWorkStart, workStart));
    EXPECT_EQ(workStart, 1800000000);
    std::uint32_t stored = 0;
    EXPECT_FALSE(ReadSettingDwordRaw(kTestIdentity, Setting::Work, stored)) << "nothing reached the registry";

    const auto report = unsaved.TakeReport();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->name, L"Work");
    EXPECT_EQ(report->error, HResultFromWin32(ReadOnlyRegistry::kAccessDenied));
    EXPECT_FALSE(unsaved.TakeReport().has_value()) << "told once";

    // An administrator's policy still rules over the user's unsaved choice.
    PutDword(kHkeyCurrentUser, true, L"Breaks", L"Work", 90);
    EXPECT_EQ(LoadBreakSettings(id).choice.workMinutes, 90);
}

// The first start's wizard saves the planned breaks, then the main window loads them: with a
// key the user may not write, they must still be there for the run.
TEST_F(UnsavedSettingsTest, RefusedPlannedBreaksHoldForTheRun) {
    CPlannedBreakList planned;
    planned.Insert(std::make_unique<CBreakTimed>(CBreakTimed::FromText(L"0NYYYYYN,1230,Lunch")));
    planned.Insert(std::make_unique<CBreakTimed>(CBreakTimed::FromText(L"0NYNYNYN,1000,Stretch")));
    SavePlannedBreakList(id, planned);

    const CPlannedBreakList loaded = LoadPlannedBreakList(id);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].ToText(), L"0NYNYNYN,1000,Stretch");
    EXPECT_EQ(loaded[1].ToText(), L"0NYYYYYN,1230,Lunch");
    EXPECT_TRUE(LoadPlannedBreakList(kTestIdentity).empty()) << "nothing reached the registry";
    const auto report = unsaved.TakeReport();
    ASSERT_TRUE(report.has_value()) << "the refusal is told";
    EXPECT_EQ(report->name, L"Timed-0");
}

TEST_F(UnsavedSettingsTest, AWriteThatSucceedsLaterCountsAgain) {
    WriteSettingDword(id, Setting::EcoMode, 1);
    SettingsIdentity writable{kTestCompany, kTestProduct, &TestRegistry(), &unsaved};
    EXPECT_TRUE(Succeeded(WriteSettingDword(writable, Setting::EcoMode, 0)));
    PutDword(kHkeyCurrentUser, false, nullptr, L"EcoMode", 1);
    EXPECT_EQ(ReadSettingDword(writable, Setting::EcoMode), 1u) << "the registry's value, no longer the memory";
}

}  // namespace
