#include "ui/shared/AppShared.h"

namespace rw {

void AppShared::LoadAppSettings() {
    const bool brandingChanged = LoadApplicationSettings(identity, *this);
    images.Apply(*this, brandingChanged, GetModuleHandleW(nullptr));
}

}  // namespace rw
