// The shell and sound calls of the notification-area icon, behind one small interface so the
// tests can make an add fail, see which menu was tracked and hear which sound was asked for.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace rw {

class ShellNotify {
public:
    virtual ~ShellNotify() = default;
    virtual BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data) = 0;
    virtual BOOL PlaySoundOf(const wchar_t* sound, DWORD flags) = 0;
    virtual BOOL Beep(UINT type) = 0;
    // SHQueryUserNotificationState; QUNS_ACCEPTS_NOTIFICATIONS when it cannot be asked.
    virtual int UserNotificationState() = 0;
    // SetForegroundWindow then TrackPopupMenu; the command goes to the window.
    virtual void TrackMenu(HMENU menu, UINT flags, POINT at, HWND window) = 0;
    virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
};

// The real calls.
ShellNotify& SystemShellNotify();

}  // namespace rw
