// The icon's and the pop-up's rules that need no window.
#include <gtest/gtest.h>

#include <vector>

#include "ui/notify/NotifyRules.h"
#include "res/resource.h"

using namespace rw;

TEST(NotifyRules, MethodByStyleAndVersion) {
    struct Case {
        std::uint32_t style, major, minor;
        bool v4, guid, custom;
        std::uint32_t version;
        IconRecord record;
    } cases[] = {
        {0, 5, 1, false, false, false, 3, IconRecord::UpToGuid},  // XP: style 0 is style 1
        {2, 5, 1, false, false, true, 3, IconRecord::UpToGuid},   // XP: style 2 is style 3
        {0, 6, 0, true, false, false, 4, IconRecord::Whole},      // Vista: version 4 without the GUID
        {2, 6, 1, true, true, true, 4, IconRecord::Whole},        // 7: with the GUID
        {0, 10, 0, true, true, false, 4, IconRecord::Whole},
        {1, 10, 0, false, false, false, 3, IconRecord::UpToGuid},  // forced XP method
        {3, 10, 0, false, false, true, 3, IconRecord::UpToGuid},
    };
    for (const Case& c : cases) {
        const TrayMethod m = ChooseTrayMethod(c.style, c.major, c.minor);
        SCOPED_TRACE(testing::Message() << "style " << c.style << " on " << c.major << "." << c.minor);
        EXPECT_EQ(m.shellV4, c.v4);
        EXPECT_EQ(m.useGuid, c.guid);
        EXPECT_EQ(m.customPopup, c.custom);
        EXPECT_EQ(m.version, c.version);
        EXPECT_EQ(m.record, c.record);
    }
}

TEST(NotifyRules, BalloonTextsAreCutNotRefused) {
    const std::wstring longText(300, L'a');
    EXPECT_EQ(BalloonText(longText, nullptr), std::wstring(255, L'a'));
    const std::wstring extra = L"5 minutes until Lunch.";
    EXPECT_EQ(BalloonText(L"Time.", &extra), L"Time.\n5 minutes until Lunch.");
    const std::wstring empty;
    EXPECT_EQ(BalloonText(L"Time.", &empty), L"Time.\n");
    const std::wstring nearFull(250, L'b');
    EXPECT_EQ(BalloonText(nearFull, &extra), nearFull + L"\n5 mi");
    EXPECT_EQ(CutText(std::wstring(64, L't'), kBalloonTitleMaxChars).size(), 63u);
    EXPECT_EQ(CutText(std::wstring(200, L't'), kTipMaxChars).size(), 127u);
    EXPECT_EQ(CutText(L"Restwell", kTipMaxChars), L"Restwell");
}

TEST(NotifyRules, CustomNotificationSound) {
    EXPECT_EQ(ChooseCustomSound(true, true), CustomSound::File);
    EXPECT_EQ(ChooseCustomSound(true, false), CustomSound::File);
    EXPECT_EQ(ChooseCustomSound(false, true), CustomSound::Beep);
    EXPECT_EQ(ChooseCustomSound(false, false), CustomSound::SystemNotification);
}

TEST(NotifyRules, NotificationsAreHeldWhilePresentingOrBusy) {
    // QUNS_NOT_PRESENT 1 … QUNS_APP 7: only busy, full-screen Direct3D and presentation hold.
    const std::vector<bool> holds = {false, false, true, true, true, false, false, false};
    for (int state = 0; state <= 7; ++state) EXPECT_EQ(HoldsNotifications(state), holds[state]) << state;
}

TEST(NotifyRules, AccentColours) {
    struct Case {
        std::uint32_t argb;
        std::uint32_t background, text;
    } cases[] = {
        {0x00FFFFFF, 0x808080, 0x000000},  // alpha 0: mid grey, 384 >= 382 gives black
        {0xFFFFFFFF, 0xFFFFFF, 0x000000},
        {0xFF000000, 0x000000, 0xFFFFFF},
        {0xFF102030, 0x302010, 0xFFFFFF},  // channels swap into COLORREF order
        {0x80FF0000, 0x3F3FBF, 0xFFFFFF},  // (255*128 + 127*128)/255 = 191, (127*128)/255 = 63
    };
    for (const Case& c : cases) {
        const AccentColors colors = AccentFromColorization(c.argb);
        EXPECT_EQ(colors.background, c.background) << std::hex << c.argb;
        EXPECT_EQ(colors.text, c.text) << std::hex << c.argb;
    }
    EXPECT_TRUE(WhiteGlyphs(0xFFFFFF));
    EXPECT_FALSE(WhiteGlyphs(0x000000));
    EXPECT_FALSE(WhiteGlyphs(0x808080));
}

TEST(NotifyRules, SuspendCaptionAndCommand) {
    struct Case {
        int minutes;
        std::uint32_t caption;
        std::uint32_t faceCommand;
        bool plannedItem;
    } cases[] = {
        {-1, IDS_SUSPEND_15, ID_SUSPEND_15, false},
        {0, IDS_SUSPEND_15, ID_SUSPEND_15, false},
        {1, IDS_SUSPEND_UNTIL_PLANNED, ID_SUSPEND_UNTIL_PLANNED, true},
        {15, IDS_SUSPEND_UNTIL_PLANNED, ID_SUSPEND_UNTIL_PLANNED, true},
        {16, IDS_SUSPEND_15, ID_SUSPEND_15, true},
        {60, IDS_SUSPEND_15, ID_SUSPEND_15, true},
    };
    for (const Case& c : cases) {
        const std::uint32_t caption = SuspendCaptionId(c.minutes);
        EXPECT_EQ(caption, c.caption) << c.minutes;
        EXPECT_EQ(SuspendButtonCommand(0, caption), c.faceCommand) << c.minutes;
        EXPECT_EQ(SuspendUntilPlannedEnabled(c.minutes), c.plannedItem) << c.minutes;
        // A chosen item wins over the caption.
        for (std::uint32_t item : {ID_SUSPEND_15, ID_SUSPEND_30, ID_SUSPEND_UNTIL_REST, ID_SUSPEND_UNTIL_PLANNED}) {
            EXPECT_EQ(SuspendButtonCommand(item, caption), item);
        }
        // Anything else counts as the face.
        EXPECT_EQ(SuspendButtonCommand(ID_EXIT, caption), c.faceCommand);
    }
}

TEST(NotifyRules, FadeRunsFromFiftyToOpaqueInFourteenSteps) {
    std::vector<int> alphas = {50};
    for (std::uint8_t a = 50; a != 255;) alphas.push_back(a = NextFadeAlpha(a));
    std::vector<int> expected;
    for (int a = 50; a < 255; a += 15) expected.push_back(a);
    expected.push_back(255);
    EXPECT_EQ(alphas, expected);
    EXPECT_EQ(alphas.size(), 15u);
    EXPECT_EQ(NextFadeAlpha(255), 255);
}

TEST(NotifyRules, CornerOfTheWorkAreaWithItsOrigin) {
    const ScreenPoint bottom = CornerPosition(0, 0, 1280, 780, 324, 174);
    EXPECT_EQ(bottom.x, 956);
    EXPECT_EQ(bottom.y, 606);
    // A taskbar at the top or left moves the work area's origin; the corner stays its corner.
    const ScreenPoint topLeft = CornerPosition(40, 30, 1280, 800, 324, 174);
    EXPECT_EQ(topLeft.x, 1280 - 324);
    EXPECT_EQ(topLeft.y, 800 - 174);
}

TEST(NotifyRules, MouseMoveTickOncePerSecond) {
    OncePerSecond gate;
    EXPECT_TRUE(gate.Allow(1000));
    EXPECT_FALSE(gate.Allow(1000));
    EXPECT_FALSE(gate.Allow(1000));
    EXPECT_TRUE(gate.Allow(1001));
    EXPECT_TRUE(gate.Allow(999));  // the clock went back: a different second
}

TEST(NotifyRules, TwoRetriesAfterAFailedAdd) {
    EXPECT_FALSE(RetryTrayAddAfter(0));
    EXPECT_TRUE(RetryTrayAddAfter(1));
    EXPECT_TRUE(RetryTrayAddAfter(2));
    EXPECT_FALSE(RetryTrayAddAfter(3));
}
