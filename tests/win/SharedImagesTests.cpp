// The application's shared images under eco mode and branding.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/shared/SharedImages.h"

using namespace rw;

namespace {

const HMODULE kModule = GetModuleHandleW(nullptr);

TEST(SharedImages, LoadedUnlessEcoModeWithTheirSizes) {
    SharedImages images;
    EXPECT_EQ(images.bannerWidth, 180);
    EXPECT_EQ(images.bannerEdgeWidth, 11);
    AppSettingsState settings;
    images.Apply(settings, false, kModule);
    EXPECT_FALSE(images.bannerImage.IsNull());
    EXPECT_FALSE(images.barEmpty.IsNull());
    EXPECT_FALSE(images.barFalling.IsNull());
    EXPECT_EQ(images.bannerWidth, 180);
    EXPECT_EQ(images.bannerHeight, 60);
    EXPECT_EQ(images.bannerEdgeWidth, 10);  // the edge image's own width once loaded
    EXPECT_EQ(images.barWidth, 164);
    EXPECT_EQ(images.barHeight, 32);

    settings.ecoMode = true;
    images.Apply(settings, false, kModule);
    EXPECT_TRUE(images.bannerImage.IsNull());
    EXPECT_TRUE(images.bannerEdge.IsNull());
    EXPECT_TRUE(images.barRising.IsNull());
    EXPECT_TRUE(images.barFalling.IsNull());
    EXPECT_TRUE(images.barEmpty.IsNull());

    settings.ecoMode = false;
    images.Apply(settings, false, kModule);
    EXPECT_FALSE(images.barRising.IsNull());
}

TEST(SharedImages, BrandingDecidesTheBanner) {
    SharedImages images;
    AppSettingsState settings;
    settings.brandingActive = true;
    settings.brandImage = L"src\\res\\images\\bmp139.bmp";
    images.Apply(settings, false, kModule);
    ASSERT_FALSE(images.bannerImage.IsNull());
    EXPECT_EQ(images.bannerWidth, 49);
    EXPECT_EQ(images.bannerHeight, 49);

    // A title only: no banner picture once the old one is discarded.
    settings.brandImage.clear();
    settings.brandTitle = L"Acme";
    images.Apply(settings, false, kModule);
    EXPECT_FALSE(images.bannerImage.IsNull());  // kept: nothing asked to discard it
    images.Apply(settings, true, kModule);
    EXPECT_TRUE(images.bannerImage.IsNull());

    // A file that cannot be read leaves the banner empty and the recorded size as it was.
    settings.brandImage = L"Z:\\no\\such\\logo.png";
    images.Apply(settings, true, kModule);
    EXPECT_TRUE(images.bannerImage.IsNull());
    EXPECT_EQ(images.bannerWidth, 49);

    settings = AppSettingsState{};
    images.Apply(settings, true, kModule);
    EXPECT_EQ(images.bannerWidth, 180);
}

}  // namespace
