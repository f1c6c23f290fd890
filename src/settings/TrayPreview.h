// What the Options pages show live while the sheet is open: the notification style, eco mode
// and sound picked but not yet confirmed, and the sound played on request. The
// notification-area icon implements it; the pages call it on the user-interface thread, so the
// sound path is copied, never handed over.
#pragma once
#include <cstdint>
#include <string>

namespace rw {

class TrayPreview {
public:
    virtual ~TrayPreview() = default;
    // Re-creates the icon in this style and shows the welcome notification with it.
    virtual void PreviewStyle(std::uint32_t style) = 0;
    // Kept for the next PreviewStyle.
    virtual void PreviewEcoMode(bool eco) = 0;
    virtual void PreviewSound(const std::wstring& path) = 0;
    // Plays the sound file now, as a notification would (the page's Play button).
    virtual void PlaySoundFile(const std::wstring& path) = 0;
};

}  // namespace rw
