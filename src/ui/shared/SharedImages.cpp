#include "ui/shared/SharedImages.h"

#include "res/resource.h"

namespace rw {

void SharedImages::ReleaseAll() {
    bannerImage.Destroy();
    bannerEdge.Destroy();
    barRising.Destroy();
    barFalling.Destroy();
    barEmpty.Destroy();
}

void SharedImages::Apply(const AppSettingsState& settings, bool discardBanner, HMODULE module) {
    if (discardBanner) bannerImage.Destroy();
    if (settings.ecoMode) {
        ReleaseAll();
        return;
    }
    if (bannerImage.IsNull()) {
        HRESULT hr = E_FAIL;
        if (!settings.brandingActive) {
            hr = bannerImage.LoadPngResource(module, IDB_BANNER);
        } else if (!settings.brandImage.empty()) {
            hr = bannerImage.LoadFile(settings.brandImage.c_str());
        }  // branding with a title only: no banner picture
        if (SUCCEEDED(hr)) {
            bannerWidth = bannerImage.Width();
            bannerHeight = bannerImage.Height();
        }
    }
    if (bannerEdge.IsNull() && SUCCEEDED(bannerEdge.LoadPngResource(module, IDB_BANNER_EDGE))) {
        bannerEdgeWidth = bannerEdge.Width();
    }
    if (barRising.IsNull() && SUCCEEDED(barRising.LoadPngResource(module, IDB_BAR_RISING))) {
        barWidth = barRising.Width();
        barHeight = barRising.Height();
    }
    if (barFalling.IsNull()) barFalling.LoadPngResource(module, IDB_BAR_FALLING);
    if (barEmpty.IsNull()) barEmpty.LoadPngResource(module, IDB_BAR_EMPTY);
}

}  // namespace rw
