// The rules of the notification-area icon and the alert pop-up that need no window: the
// method a notification style chooses, the cuts of tooltip and balloon texts, the sound of a
// custom notification, the accent colours, the suspend button's caption and command, the fade
// and the corner position. Portable, so they are tested natively as well.
#pragma once
#include <cstdint>
#include <string>

namespace rw {

// "NotificationStyle": how the icon talks to the shell and how notifications appear.
constexpr std::uint32_t NOTIFY_STYLE_SYSTEM = 0;
constexpr std::uint32_t NOTIFY_STYLE_XP = 1;
constexpr std::uint32_t NOTIFY_STYLE_SYSTEM_CUSTOM = 2;
constexpr std::uint32_t NOTIFY_STYLE_XP_CUSTOM = 3;

// How much of the icon-data record the shell is given: up to and including the GUID (the
// XP-level record), or the whole record. The sizes come from the structure itself, on the
// Win32 side (IconDataSize).
enum class IconRecord { UpToGuid, Whole };

struct TrayMethod {
    bool shellV4 = false;      // the shell's version-4 behaviour
    bool useGuid = false;      // the icon is identified by its GUID as well
    bool customPopup = false;  // notifications use the alert pop-up and a sound
    std::uint32_t version = 3;
    IconRecord record = IconRecord::UpToGuid;
};
// Styles 1 and 3 force the XP method; version 4 from Windows Vista (6.0), the GUID from 6.1.
TrayMethod ChooseTrayMethod(std::uint32_t style, std::uint32_t major, std::uint32_t minor);

constexpr std::size_t kTipMaxChars = 127;
constexpr std::size_t kBalloonTitleMaxChars = 63;
constexpr std::size_t kBalloonTextMaxChars = 255;

// The first maxChars characters of text.
std::wstring CutText(const std::wstring& text, std::size_t maxChars);
// A balloon's text: the text, then "\n" and the extra line when one is given, cut to 255.
std::wstring BalloonText(const std::wstring& text, const std::wstring* extra);

enum class CustomSound {
    File,                // the chosen file, asynchronously
    Beep,                // MessageBeep(MB_ICONASTERISK)
    SystemNotification,  // the system sound alias "SystemNotification"
};
CustomSound ChooseCustomSound(bool haveSoundFile, bool shellV4);

// The shell's user notification states (QUNS_*) during which notifications are held back:
// presenting, a full-screen Direct3D program, or busy with a full-screen program.
bool HoldsNotifications(int userNotificationState);

// Colours as COLORREF values (0x00BBGGRR).
struct AccentColors {
    std::uint32_t background;
    std::uint32_t text;
};
// The colorization colour 0xAARRGGBB laid with its own opacity over mid grey; black text on
// a light result (red + green + blue >= 382), white on a dark one.
AccentColors AccentFromColorization(std::uint32_t argb);
// Black or white glyphs of the pop-up's flat buttons for its text colour.
bool WhiteGlyphs(std::uint32_t textColor);

// The suspend button's caption (IDS_SUSPEND_UNTIL_PLANNED "Suspend until Planned Break" while a
// planned break is 1 to 15 minutes away, else IDS_SUSPEND_15 "Suspend 15 minutes") and what a
// click of it posts: the menu item chosen, or for a click on the face (item 0) the caption's own
// command.
std::uint32_t SuspendCaptionId(int plannedMinutes);
std::uint32_t SuspendButtonCommand(std::uint32_t menuItem, std::uint32_t captionId);
// "Suspend until Planned Break" is offered only with a planned break 1 to 60 minutes away.
bool SuspendUntilPlannedEnabled(int plannedMinutes);

// One fade step: 15 more, at most 255.
std::uint8_t NextFadeAlpha(std::uint8_t alpha);

// The pop-up's place in the bottom-right corner of the work area (its origin included, so a
// taskbar at the top or left is allowed for too).
struct ScreenPoint {
    int x;
    int y;
};
ScreenPoint CornerPosition(int workLeft, int workTop, int workRight, int workBottom, int width, int height);

// The tray's mouse-move tick runs at most once per calendar second.
class OncePerSecond {
public:
    // True when now (whole seconds) differs from the second of the last run, which it becomes.
    bool Allow(std::int64_t now);

private:
    std::int64_t last_ = 0;
};

// At most two retries of a failed add: the failure counts 1 and 2 schedule one.
constexpr bool RetryTrayAddAfter(int failures) {
    return failures == 1 || failures == 2;
}
constexpr std::int64_t kTrayRetrySeconds = 60;

}  // namespace rw
