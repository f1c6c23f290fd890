#include "ui/notify/ShellNotify.h"

#include <mmsystem.h>

namespace rw {
namespace {

class SystemShell final : public ShellNotify {
public:
    BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override { return Shell_NotifyIconW(message, &data); }
    BOOL PlaySoundOf(const wchar_t* sound, DWORD flags) override { return PlaySoundW(sound, nullptr, flags); }
    BOOL Beep(UINT type) override { return MessageBeep(type); }
    int UserNotificationState() override {
        QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
        if (FAILED(SHQueryUserNotificationState(&state))) return QUNS_ACCEPTS_NOTIFICATIONS;
        return state;
    }
    void TrackMenu(HMENU menu, UINT flags, POINT at, HWND window) override {
        // The menu needs a foreground window of ours; while the owner is disabled behind a
        // modal window, that one, so that the owner is not raised over it.
        HWND front = IsWindowEnabled(window) ? window : GetLastActivePopup(window);
        SetForegroundWindow(front ? front : window);
        TrackPopupMenu(menu, flags, at.x, at.y, 0, window, nullptr);
    }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }
};

}  // namespace

ShellNotify& SystemShellNotify() {
    static SystemShell shell;
    return shell;
}

}  // namespace rw
