// The five decorative images the application owns for its windows: the banner (the
// organisation's picture or IDB_BANNER), the banner's edge (IDB_BANNER_EDGE) and the three
// rating-bar images (IDB_BAR_RISING, IDB_BAR_FALLING, IDB_BAR_EMPTY), with the sizes the
// windows lay themselves out by.
#pragma once
#include <windows.h>

#include "ui/shared/AchievementBar.h"
#include "kit/ImagePlus.h"
#include "settings/AppSettings.h"

namespace rw {

class SharedImages {
public:
    // Sizes until the images are loaded.
    int bannerWidth = 180;
    int bannerHeight = 60;
    int bannerEdgeWidth = 11;
    int barWidth = 0;
    int barHeight = 0;

    nsHalden::CImagePlus bannerImage;
    nsHalden::CImagePlus bannerEdge;
    nsHalden::CImagePlus barRising;
    nsHalden::CImagePlus barFalling;
    nsHalden::CImagePlus barEmpty;

    // After every load of the eco-mode and branding settings: in eco mode every image is
    // released; otherwise each one not loaded yet is loaded. discardBanner drops the banner
    // first, because the branding changed.
    void Apply(const AppSettingsState& settings, bool discardBanner, HMODULE module);
    void ReleaseAll();

    AchievementBarImages BarImages() const { return {&barRising, &barFalling, &barEmpty}; }
};

}  // namespace rw
