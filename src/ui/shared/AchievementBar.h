// The achievement rating drawn as a bar: with the application's three bar images, or, when
// they are not loaded (eco mode), as a filled frame with the percentage.
#pragma once
#include <windows.h>

#include "kit/ImagePlus.h"

namespace rw {

struct AchievementBarImages {
    const nsHalden::CImagePlus* rising = nullptr;   // IDB_BAR_RISING, full while the rating rises
    const nsHalden::CImagePlus* falling = nullptr;  // IDB_BAR_FALLING, full while it falls
    const nsHalden::CImagePlus* empty = nullptr;    // IDB_BAR_EMPTY, the empty bar
};

// Paints into an owner-drawn control's rectangle; the caller has filled the background.
void DrawAchievementBar(HDC dc, const RECT& rect, bool enable, float score, bool rising,
                        const AchievementBarImages& images, HFONT boldFont);

}  // namespace rw
