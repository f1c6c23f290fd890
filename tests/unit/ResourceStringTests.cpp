#include <gtest/gtest.h>

#include "core/ResourceString.h"
#include "res/string_ids.h"

using namespace rw;

namespace {

TEST(FormatText, InsertsInOrderWithTheirFormats) {
    std::wstring out;
    EXPECT_TRUE(FormatText(L"%2!d! minutes until %1.", {L"Lunch", 12}, out));
    EXPECT_EQ(out, L"12 minutes until Lunch.");
    EXPECT_TRUE(FormatText(L"%1 %2", {L"a", std::wstring(L"b")}, out));
    EXPECT_EQ(out, L"a b");
    EXPECT_TRUE(FormatText(L"%1!d!|%1!hu!|%2!d!", {-1, 70000}, out));
    EXPECT_EQ(out, L"-1|65535|70000");  // %hu keeps the low 16 bits
    EXPECT_TRUE(FormatText(L"%1!hu!", {70000}, out));
    EXPECT_EQ(out, L"4464");
    EXPECT_TRUE(FormatText(L"100%% sure%0 and never this", {}, out));
    EXPECT_EQ(out, L"100% sure");
    EXPECT_TRUE(FormatText(L"%10", {1, 2, 3, 4, 5, 6, 7, 8, 9, L"ten"}, out));
    EXPECT_EQ(out, L"ten");
    EXPECT_TRUE(FormatText(L"line\none", {}, out));
    EXPECT_EQ(out, L"line\none");
}

TEST(FormatText, FailuresLeaveTheCallersText) {
    std::wstring out = L"kept";
    EXPECT_FALSE(FormatText(L"%3", {L"a", L"b"}, out));
    EXPECT_FALSE(FormatText(L"%1!d!", {L"text"}, out));
    EXPECT_FALSE(FormatText(L"%1!s!", {5}, out));
    EXPECT_FALSE(FormatText(L"%1!q!", {5}, out));
    EXPECT_FALSE(FormatText(L"%1!d", {5}, out));
    EXPECT_FALSE(FormatText(L"50%", {}, out));
    EXPECT_EQ(out, L"kept");
}

TEST(FormatResourceString, LoadsFromTheStringTable) {
    std::wstring out = L"kept";
    EXPECT_TRUE(FormatResourceString(out, IDS_STATUS_BREAK_DUE, {55}));
    EXPECT_EQ(out, L"You have been working for 55 minutes.\nTime for a break.");
    EXPECT_TRUE(FormatResourceString(out, IDS_BREAK_REMINDER, {61, 5}));
    EXPECT_EQ(out, L"You have been using this computer for 61 minutes.\nTime for a 5 minute break.");
    out = L"kept";
    EXPECT_FALSE(FormatResourceString(out, 59999, {}));
    EXPECT_FALSE(FormatResourceString(out, IDS_PLANNED_MINUTES, {L"only a title"}));
    EXPECT_EQ(out, L"kept");
    EXPECT_EQ(ResourceText(IDS_RATING_TITLE_OFF), L"  You are not being rated as this feature is not enabled.");
    EXPECT_EQ(ResourceText(59999), L"");
}

}  // namespace
