#include "ui/notify/NotifyRules.h"

#include "res/resource.h"

namespace rw {

TrayMethod ChooseTrayMethod(std::uint32_t style, std::uint32_t major, std::uint32_t minor) {
    TrayMethod method;
    if (style != NOTIFY_STYLE_XP && style != NOTIFY_STYLE_XP_CUSTOM && major >= 6) {
        method.shellV4 = true;
        method.version = 4;
        method.record = IconRecord::Whole;
        method.useGuid = major >= 7 || (major == 6 && minor >= 1);
    }
    method.customPopup = style == NOTIFY_STYLE_SYSTEM_CUSTOM || style == NOTIFY_STYLE_XP_CUSTOM;
    return method;
}

std::wstring CutText(const std::wstring& text, std::size_t maxChars) {
    return text.size() > maxChars ? text.substr(0, maxChars) : text;
}

std::wstring BalloonText(const std::wstring& text, const std::wstring* extra) {
    std::wstring whole = text;
    if (extra) whole += L"\n" + *extra;
    return CutText(whole, kBalloonTextMaxChars);
}

CustomSound ChooseCustomSound(bool haveSoundFile, bool shellV4) {
    if (haveSoundFile) return CustomSound::File;
    return shellV4 ? CustomSound::Beep : CustomSound::SystemNotification;
}

bool HoldsNotifications(int userNotificationState) {
    // QUNS_BUSY 2, QUNS_RUNNING_D3D_FULL_SCREEN 3, QUNS_PRESENTATION_MODE 4.
    return userNotificationState == 2 || userNotificationState == 3 || userNotificationState == 4;
}

AccentColors AccentFromColorization(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    const auto over = [a](std::uint32_t channel) { return (channel * a + (255 - a) * 128) / 255; };
    const std::uint32_t r = over((argb >> 16) & 0xFF);
    const std::uint32_t g = over((argb >> 8) & 0xFF);
    const std::uint32_t b = over(argb & 0xFF);
    const std::uint32_t text = r + g + b >= 382 ? 0x000000u : 0xFFFFFFu;
    return {r | (g << 8) | (b << 16), text};
}

bool WhiteGlyphs(std::uint32_t textColor) {
    return textColor > 0x808080u;
}

std::uint32_t SuspendCaptionId(int plannedMinutes) {
    return plannedMinutes >= 1 && plannedMinutes <= 15 ? IDS_SUSPEND_UNTIL_PLANNED : IDS_SUSPEND_15;
}

std::uint32_t SuspendButtonCommand(std::uint32_t menuItem, std::uint32_t captionId) {
    switch (menuItem) {
        case ID_SUSPEND_15:
        case ID_SUSPEND_30:
        case ID_SUSPEND_UNTIL_REST:
        case ID_SUSPEND_UNTIL_PLANNED: return menuItem;
    }
    return captionId == IDS_SUSPEND_UNTIL_PLANNED ? ID_SUSPEND_UNTIL_PLANNED : ID_SUSPEND_15;
}

bool SuspendUntilPlannedEnabled(int plannedMinutes) {
    return plannedMinutes != -1 && plannedMinutes != 0;
}

std::uint8_t NextFadeAlpha(std::uint8_t alpha) {
    return static_cast<std::uint8_t>(alpha + (255 - alpha < 15 ? 255 - alpha : 15));
}

ScreenPoint CornerPosition(int workLeft, int workTop, int workRight, int workBottom, int width, int height) {
    return {workLeft + (workRight - workLeft) - width, workTop + (workBottom - workTop) - height};
}

bool OncePerSecond::Allow(std::int64_t now) {
    if (now == last_) return false;
    last_ = now;
    return true;
}

}  // namespace rw
