// Planned breaks in the registry ("Timed", "Timed-%d"), against the fake registry natively
// and the real one under Wine.
#include <gtest/gtest.h>

#include "RegistryTestEnv.h"
#include "engine/PlannedBreakList.h"
#include "settings/SettingsCatalog.h"

using namespace rw;
using namespace rw::test;

namespace {

class PlannedBreakStorage : public RegistryTest {
protected:
    void PutEntry(int n, const std::wstring& text) {
        PutString(kHkeyCurrentUser, false, L"Breaks", TimedEntryName(n).c_str(), text);
    }
    void PutCount(std::uint32_t count) { PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed", count); }
    std::wstring StoredEntry(int n) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> raw;
        if (!GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), TimedEntryName(n).c_str(), type, raw)) {
            return L"<missing>";
        }
        std::wstring text;
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const auto unit = static_cast<wchar_t>(raw[i] | (raw[i + 1] << 8));
            if (unit == 0) break;
            text += unit;
        }
        return text;
    }
    static std::vector<std::wstring> TitlesOf(const CPlannedBreakList& list) {
        std::vector<std::wstring> titles;
        for (const auto& record : list) titles.push_back(record->m_strTitle);
        return titles;
    }

    const SettingsIdentity& id = kTestIdentity;
};

using TitleList = std::vector<std::wstring>;

TEST_F(PlannedBreakStorage, MissingRecordsAreSkipped) {
    PutCount(3);
    PutEntry(0, L"0NYYYYYN,1230,Lunch");
    PutEntry(2, L"0NYYYYYN,1000,Coffee");
    EXPECT_EQ(TitlesOf(LoadPlannedBreakList(id)), (TitleList{L"Coffee", L"Lunch"}));  // in time order
    EXPECT_TRUE(LoadBreakTimed(id, 1).m_bInvalid);
}

TEST_F(PlannedBreakStorage, TheCountBoundsTheLoading) {
    EXPECT_TRUE(LoadPlannedBreakList(id).empty());  // no "Timed"
    PutEntry(0, L"0NYYYYYN,1230,Lunch");
    EXPECT_TRUE(LoadPlannedBreakList(id).empty());
    PutCount(0xFFFFFFFFu);  // negative as a signed count
    EXPECT_TRUE(LoadPlannedBreakList(id).empty());
    PutCount(1);
    EXPECT_EQ(TitlesOf(LoadPlannedBreakList(id)), (TitleList{L"Lunch"}));
}

TEST_F(PlannedBreakStorage, EqualTimesKeepTheStoredOrder) {
    PutCount(3);
    PutEntry(0, L"0NYNNNNN,0900,A");
    PutEntry(1, L"0NYNNNNN,0800,B");
    PutEntry(2, L"0NYNNNNN,0900,C");
    EXPECT_EQ(TitlesOf(LoadPlannedBreakList(id)), (TitleList{L"B", L"A", L"C"}));
}

TEST_F(PlannedBreakStorage, InvalidRecordsFromNumber100EndTheLoading) {
    PutCount(103);
    for (int n = 0; n < 103; ++n) PutEntry(n, L"0YNNNNNN,0100,R" + std::to_wstring(n));
    PutEntry(5, L"broken");
    PutEntry(99, L"0NNNNNNN,0100,no day");  // below 100: skipped
    PutEntry(101, L"0NYYYYYN,1230,");       // from 100 on: the end
    const CPlannedBreakList list = LoadPlannedBreakList(id);
    ASSERT_EQ(list.size(), 99u);  // 0..100 without 5 and 99
    EXPECT_EQ(list[0].m_strTitle, L"R0");
    EXPECT_EQ(list[98].m_strTitle, L"R100");
    for (const auto& record : list) {
        EXPECT_NE(record->m_strTitle, L"R5");
        EXPECT_NE(record->m_strTitle, L"R102");
    }
}

TEST_F(PlannedBreakStorage, OddValuesNeverFail) {
    PutCount(4);
    PutEntry(0, L"0YYYYYYY,2400,Late");                           // hours out of range: skipped
    PutEntry(1, L"0YYYYYYY,1200," + std::wstring(300, L't'));     // too long to read
    PutDword(kHkeyCurrentUser, false, L"Breaks", L"Timed-2", 7);  // not a string
    PutEntry(3, L"0YYYYYYY,1200,Noon");
    const CPlannedBreakList list = LoadPlannedBreakList(id);
    EXPECT_EQ(TitlesOf(list), (TitleList{L"Noon"}));
}

TEST_F(PlannedBreakStorage, SavingFewerRecordsLeavesTheOldOnesUnread) {
    CPlannedBreakList five;
    for (int i = 0; i < 5; ++i)
        five.Insert(CBreakTimed::FromText(L"0NYYYYYN,100" + std::to_wstring(i) + L",B" + std::to_wstring(i)));
    SavePlannedBreakList(id, five);
    EXPECT_EQ(ReadSettingDword(id, Setting::Timed), 5u);

    CPlannedBreakList two;
    two.Insert(CBreakTimed::FromText(L"0YNNNNNY,0730,Weekend"));
    two.Insert(CBreakTimed::FromText(L"0NYYYYYN,1230,Lunch"));
    SavePlannedBreakList(id, two);
    EXPECT_EQ(ReadSettingDword(id, Setting::Timed), 2u);
    EXPECT_EQ(StoredEntry(0), L"0YNNNNNY,0730,Weekend");
    EXPECT_EQ(StoredEntry(1), L"0NYYYYYN,1230,Lunch");
    for (int n = 2; n < 5; ++n) {
        EXPECT_EQ(StoredEntry(n), L"0NYYYYYN,100" + std::to_wstring(n) + L",B" + std::to_wstring(n));
    }
    EXPECT_EQ(TitlesOf(LoadPlannedBreakList(id)), (TitleList{L"Weekend", L"Lunch"}));
}

TEST_F(PlannedBreakStorage, LongTitlesAreCutSoTheyLoad) {
    CBreakTimed record = CBreakTimed::FromText(L"0NYNNNNN,0900,x");
    record.m_strTitle = std::wstring(400, L'y');
    EXPECT_EQ(SaveBreakTimed(id, 0, record), kS_OK);
    PutCount(1);
    const CPlannedBreakList list = LoadPlannedBreakList(id);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].m_strTitle, std::wstring(kBreakTimedTitleMax, L'y'));
}

}  // namespace
