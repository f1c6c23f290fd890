// The notification-area icon: its picture and tooltip, the user's clicks on it, and the
// notifications it delivers, as the shell's balloon or as the alert pop-up with a sound.
//
// The tray presenter owns one CNotificationIcon and implements NotificationIconOwner; the
// main window receives these messages and the presenter hands them over:
//
//     WMU_TRAY_CALLBACK (0x464)        -> OnTrayCallback(wParam, lParam)
//     WMU_TRAY_ICON (0x468)            -> OnTrayIconMessage(wParam)
//     TaskbarCreatedMessage()          -> OnTaskbarCreated()
//
// Any program on the desktop can post these: nothing taken from them is ever dereferenced.
//
// and after every engine tick it calls OnEngineTickDone(), which shows a notification that
// was held back while the user was presenting (see ShowNotification).
//
// The icon's GUID binds it, on Windows, to the path of the executable: a copy of the program
// in another folder cannot add a GUID icon until the old registration is gone.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/shared/WindowServices.h"
#include "core/EventScheduler.h"
#include "core/PrivateMessages.h"
#include "ui/notify/NotifyRules.h"
#include "ui/notify/ShellNotify.h"
#include "settings/TrayPreview.h"

namespace rw {

class CdlgNotificationAlertBase;

// The record size the shell is given for each choice, taken from the structure of this build
// (a 64-bit record is longer than a 32-bit one; any other size makes the shell read only the
// oldest fields, and the texts come out as garbage).
constexpr DWORD IconDataSize(IconRecord record) {
    return record == IconRecord::Whole ? sizeof(NOTIFYICONDATAW) : offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID);
}

// The fixed identity of the program's icon.
extern const GUID kNotificationIconGuid;

// What the icon needs of the window that owns it.
class NotificationIconOwner {
public:
    virtual ~NotificationIconOwner() = default;
    // The window that receives the callback message and the menus' commands.
    virtual HWND IconOwnerWindow() = 0;
    // The state icons the main window loaded (IDI_PROGRAM, IDI_BREAK_DUE …); null when not loaded.
    virtual HICON IconById(int iconId) = 0;
    // The tray break menu (IDR_MENU_TRAY_BREAK), loaded once and kept by the main window (the
    // engine greys its "Suspend until Planned Break").
    virtual HMENU TrayBreakMenu() = 0;
    // One engine tick: quiet for the clicks that show a menu, plain for a mouse move.
    virtual void RunEngineTick(bool quiet) = 0;
    // Shown normally, on top, in the foreground, with the focus.
    virtual void ShowMainWindow() = 0;
    // The break reminders switch (chooses the welcome text).
    virtual bool RemindersEnabled() const = 0;
    // The alert's m_bBreakDue.
    virtual void SetAlertBreakDue(bool breakDue) = 0;
    // The shell has just added the icon with the program's picture and name: the owner shows
    // its current state on it.
    virtual void IconAdded() = 0;
};

// What re-creates the icon. Only RetryAdd arrives as a posted message (from the worker); the
// others come from the program's own calls.
enum class TrayIconRequest {
    Recreate,                        // from the saved settings, the failure count started again
    RecreateWithWelcome,             // the same, then the welcome notification
    RetryAdd = TRAY_ICON_RETRY_ADD,  // the worker's retry of a failed add: the count goes on
};

class CNotificationIcon : public TrayPreview {
public:
    // popup: the alert the owner keeps for the whole run (may be null); it is handed to every
    // Init of the re-creation protocol.
    // events: the worker, whose EVENT_TRAY_ICON_RETRY retries a failed add.
    CNotificationIcon(const WindowServices& services, NotificationIconOwner& owner, EventScheduler& events,
                      CdlgNotificationAlertBase* popup, ShellNotify& shell = SystemShellNotify());
    CNotificationIcon(const CNotificationIcon&) = delete;
    CNotificationIcon& operator=(const CNotificationIcon&) = delete;

    // Clears icons and method flags (eco mode is kept), stores owner, GUID, pop-up and style,
    // and chooses the shell method by style and OS version.
    void Init(std::uint32_t style, const OSVERSIONINFOW& os, HWND owner, const GUID& guid,
              CdlgNotificationAlertBase* popup);
    bool Add(HICON icon, const std::wstring& title);
    BOOL Delete();
    // Null tip or icon: left as they are.
    void SetIconAndTip(const std::wstring* tip, HICON icon);
    // A balloon, or with a custom style the pop-up and a sound (always reported shown).
    // While the shell reports that the user presents, runs a full-screen Direct3D program or
    // is busy, the notification is held and shown by the first OnEngineTickDone after that.
    bool ShowNotification(const std::wstring* extra, const std::wstring& text, HICON icon, std::uint32_t timeoutMs);
    void HideNotification();
    void SetEcoMode(bool eco);
    void SetSoundFile(const wchar_t* path);

    // The welcome notification; a balloon that cannot be shown is reported in a message box.
    bool ShowWelcomeNotification();

    // The messages the owner hands over (see the top of this file).
    void OnTrayCallback(WPARAM wParam, LPARAM lParam);
    void OnTrayIconMessage(WPARAM request);
    void OnTaskbarCreated() { OnTrayIconRequest(TrayIconRequest::Recreate); }
    void OnTrayIconRequest(TrayIconRequest request);

    // The Options pages' live previews (same thread).
    void PreviewStyle(std::uint32_t style) override;
    void PreviewEcoMode(bool eco) override { previewEco_ = eco; }
    void PreviewSound(const std::wstring& path) override { previewSound_ = path; }
    void PlaySoundFile(const std::wstring& path) override;
    void OnEngineTickDone();
    static UINT TaskbarCreatedMessage();

    // State, read by the owner and the tests.
    HWND m_hWndOwner = nullptr;
    GUID m_guidItem{};
    UINT m_uID = 0;
    HICON m_hIconBase = nullptr;
    HICON m_hIconCurrent = nullptr;
    std::wstring m_strTitle;
    std::wstring m_strSound;
    std::uint32_t m_nStyle = 0;
    bool m_bShellV4 = false;
    bool m_bUseGuid = false;
    bool m_bCustomPopup = false;
    bool m_bEcoMode = false;
    std::uint32_t m_uVersion = 3;
    DWORD m_cbSize = IconDataSize(IconRecord::UpToGuid);
    CdlgNotificationAlertBase* m_pPopup = nullptr;

    int FailureCount() const { return failures_; }
    bool HasHeldNotification() const { return held_.has_value(); }

private:
    NOTIFYICONDATAW IconData() const;
    bool ShowNow(const std::wstring* extra, const std::wstring& text, HICON icon, std::uint32_t timeoutMs);
    bool ShowBalloon(const std::wstring* extra, const std::wstring& text, HICON icon, std::uint32_t timeoutMs);
    void ShowPopupAndSound(const std::wstring* extra, const std::wstring& text, HICON icon, std::uint32_t timeoutMs);
    void ShowTrayMenu();
    void RemoveRetryEvent();
    void Recreate(std::uint32_t style, bool eco, const std::wstring& sound);

    const WindowServices& services_;
    NotificationIconOwner& owner_;
    EventScheduler& events_;
    ShellNotify& shell_;
    CdlgNotificationAlertBase* popupForInit_;
    int failures_ = 0;
    bool previewEco_ = false;
    std::wstring previewSound_;
    OncePerSecond mouseMoveTick_;

    struct Held {
        std::optional<std::wstring> extra;
        std::wstring text;
        HICON icon;
        std::uint32_t timeoutMs;
    };
    std::optional<Held> held_;
    bool balloonShown_ = false;  // a balloon was shown and not yet taken down
    std::wstring shownTip_;      // the tooltip the shell shows now
};

}  // namespace rw
