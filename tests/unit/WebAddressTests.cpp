#include <gtest/gtest.h>

#include <vector>

#include "core/WebAddress.h"
#include "core/VendorSite.h"
#include "core/VersionQuad.h"
#include "fakes/RecordingLauncher.h"

using namespace rw;

using rw::test::RecordingLauncher;

namespace {

const std::wstring kBase = VendorBaseAddress();

TEST(WebAddress, PreparingAddresses) {
    struct Case {
        const wchar_t* address;
        bool addVersion;
        std::wstring open;
        const wchar_t* shown;
    };
    const Case cases[] = {
        // No scheme, a space and a query with one parameter.
        {L"example.org/a b?x=1", true, L"http://example.org/ab?x=1&ver=" + std::wstring(kRunningVersionText),
         L"http://example.org/ab?x=1"},
        // Ending in "?": no "&".
        {L"http://example.org/help/?", true, L"http://example.org/help/?ver=" + std::wstring(kRunningVersionText),
         L"http://example.org/help/"},
        // No query: unchanged apart from the scheme.
        {L"example.org/page", true, L"http://example.org/page", L"http://example.org/page"},
        // Without addVersion nothing is appended.
        {L"https://x.org/?a=1", false, L"https://x.org/?a=1", L"https://x.org/?a=1"},
        {L"ftp://x.org/f", true, L"ftp://x.org/f", L"ftp://x.org/f"},
        {L"  ", false, L"http://", L"http://"},
    };
    for (const Case& c : cases) {
        const PreparedAddress p = PrepareWebAddress(c.address, c.addVersion);
        EXPECT_EQ(p.open, c.open) << c.address;
        EXPECT_EQ(p.shown, c.shown) << c.address;
    }
}

TEST(WebAddress, VendorAddresses) {
    // The base carries its scheme; nothing is put in front of it.
    ASSERT_TRUE(kBase.rfind(L"http://", 0) == 0 || kBase.rfind(L"https://", 0) == 0);
    EXPECT_EQ(HelpRootAddress(L"Restwell"), kBase + L"/products/Restwell/help/?");
    EXPECT_EQ(HelpTopicAddress(L"Restwell", 51), kBase + L"/products/Restwell/help/?topic=51");
    EXPECT_EQ(HealthHintAddress(L"Restwell", 4000000000u), kBase + L"/products/Restwell/hints/?id=4000000000");
    EXPECT_EQ(HomePageAddress(), kBase);
    EXPECT_EQ(kBase, (kBase[4] == L's' ? L"https://" : L"http://") + VendorHost());
    // A product name with spaces yields a path without them once opened.
    EXPECT_EQ(PrepareWebAddress(HelpRootAddress(L"Rest well"), false).open, kBase + L"/products/Restwell/help/?");
    EXPECT_EQ(PrepareWebAddress(HomePageAddress(), true).open, kBase);
}

TEST(WebAddress, ShowHelpMapsCommandsAndIds) {
    EXPECT_EQ(ShowHelpAddress(L"Restwell", 100, kHelpContext), kBase + L"/products/Restwell/help/?topic=100");
    EXPECT_EQ(ShowHelpAddress(L"Restwell", 0x2006D, kHelpContext), kBase + L"/products/Restwell/help/?topic=131181");
    EXPECT_EQ(ShowHelpAddress(L"Restwell", 0, kHelpContext), HelpRootAddress(L"Restwell"));
    EXPECT_EQ(ShowHelpAddress(L"Restwell", 0xFFFFFFFFu, kHelpContext), HelpRootAddress(L"Restwell"));
    EXPECT_EQ(ShowHelpAddress(L"Restwell", 77, kHelpContents), HelpRootAddress(L"Restwell"));
    EXPECT_FALSE(ShowHelpAddress(L"Restwell", 77, 2).has_value());
    // Id -1 opens the root followed directly by the version.
    EXPECT_EQ(PrepareWebAddress(*ShowHelpAddress(L"Restwell", 0xFFFFFFFFu, kHelpContext), true).open,
              kBase + L"/products/Restwell/help/?ver=" + std::wstring(kRunningVersionText));
}

TEST(WebAddress, OpeningReportsOnlyFailures) {
    RecordingLauncher launcher;
    OpenWebAddress(launcher, nullptr, true);
    EXPECT_TRUE(launcher.opened.empty());
    OpenWebAddress(launcher, L"example.org/help/?", true);
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], L"http://example.org/help/?ver=" + std::wstring(kRunningVersionText));
    EXPECT_TRUE(launcher.reported.empty());
    launcher.succeed = false;
    OpenWebAddress(launcher, L"example.org/help/?", true);
    ASSERT_EQ(launcher.reported.size(), 1u);
    EXPECT_EQ(launcher.reported[0],
              L"There was a problem launching your system's Web Browser.\nPlease open your Web Browser and visit:\n\n"
              L"http://example.org/help/");
}

TEST(WebAddress, HelpKeyOnlyWithoutModifiers) {
    EXPECT_TRUE(IsPlainHelpKey(false, false, false));
    EXPECT_FALSE(IsPlainHelpKey(true, false, false));
    EXPECT_FALSE(IsPlainHelpKey(false, true, false));
    EXPECT_FALSE(IsPlainHelpKey(false, false, true));
}

}  // namespace
