#include "app/AppShared.h"

namespace rw {

void AppShared::DrawAchievementBar(HDC dc, const RECT& rect, int enable, float score, bool rising) const {
    rw::DrawAchievementBar(dc, rect, enable, score, rising, images.BarImages(), titleFont.get());
}

}  // namespace rw
