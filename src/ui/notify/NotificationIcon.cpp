#include "ui/notify/NotificationIcon.h"

#include <mmsystem.h>

#include <exception>

#include "core/PrivateMessages.h"
#include "core/ResourceString.h"
#include "core/ScheduledEventIds.h"
#include "ui/notify/NotificationAlertBase.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"

namespace rw {

// {6B1F3C52-8E0D-4A7B-9C2E-5F4D3A1B7E90}
const GUID kNotificationIconGuid = {0x6b1f3c52, 0x8e0d, 0x4a7b, {0x9c, 0x2e, 0x5f, 0x4d, 0x3a, 0x1b, 0x7e, 0x90}};

namespace {

void CopyInto(wchar_t* buffer, std::size_t capacity, const std::wstring& text) {
    const std::size_t n = text.copy(buffer, capacity - 1);
    buffer[n] = 0;
}

}  // namespace

CNotificationIcon::CNotificationIcon(const WindowServices& services, NotificationIconOwner& owner,
                                     EventScheduler& events, CdlgNotificationAlertBase* popup, ShellNotify& shell)
    : services_(services), owner_(owner), events_(events), shell_(shell), popupForInit_(popup) {}

UINT CNotificationIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void CNotificationIcon::Init(std::uint32_t style, const OSVERSIONINFOW& os, HWND owner, const GUID& guid,
                             CdlgNotificationAlertBase* popup) {
    m_hIconBase = m_hIconCurrent = nullptr;
    m_hWndOwner = owner;
    m_guidItem = guid;
    m_pPopup = popup;
    m_nStyle = style;
    m_uID = WMU_TRAY_CALLBACK;
    const TrayMethod method = ChooseTrayMethod(style, os.dwMajorVersion, os.dwMinorVersion);
    m_bShellV4 = method.shellV4;
    m_bUseGuid = method.useGuid;
    m_bCustomPopup = method.customPopup;
    m_uVersion = method.version;
    m_cbSize = IconDataSize(method.record);
}

NOTIFYICONDATAW CNotificationIcon::IconData() const {
    NOTIFYICONDATAW data{};
    data.cbSize = m_cbSize;
    data.hWnd = m_hWndOwner;
    data.uID = m_uID;
    if (m_bUseGuid) {
        data.uFlags |= NIF_GUID;
        data.guidItem = m_guidItem;
    }
    return data;
}

bool CNotificationIcon::Add(HICON icon, const std::wstring& title) {
    m_strTitle = title;
    m_hIconBase = m_hIconCurrent = icon;
    NOTIFYICONDATAW data = IconData();
    data.uFlags |= NIF_MESSAGE | NIF_ICON | NIF_TIP | (m_bShellV4 ? NIF_SHOWTIP : 0);
    data.uCallbackMessage = m_uID;
    data.hIcon = icon;
    shownTip_ = CutText(title, kTipMaxChars);
    CopyInto(data.szTip, std::size(data.szTip), shownTip_);
    if (!shell_.NotifyIcon(NIM_ADD, data)) {
        m_hWndOwner = nullptr;
        m_uID = 0;
        return false;
    }
    data.uVersion = m_uVersion;
    shell_.NotifyIcon(NIM_SETVERSION, data);
    owner_.IconAdded();
    return true;
}

BOOL CNotificationIcon::Delete() {
    if (!m_hWndOwner) return TRUE;
    NOTIFYICONDATAW data = IconData();
    return shell_.NotifyIcon(NIM_DELETE, data);
}

void CNotificationIcon::SetIconAndTip(const std::wstring* tip, HICON icon) {
    // Every engine tick comes here; the shell is asked only for a change, so an idle program
    // costs the shell nothing.
    const std::wstring newTip = tip ? CutText(*tip, kTipMaxChars) : shownTip_;
    if ((!icon || icon == m_hIconCurrent) && newTip == shownTip_) return;
    NOTIFYICONDATAW data = IconData();
    if (m_bShellV4) data.uFlags |= NIF_SHOWTIP;
    // The picture only when it changed: the shell copies an icon's bitmaps on every call that
    // carries one, which asks the display for a device context.
    if (icon && icon != m_hIconCurrent) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon;
        m_hIconCurrent = icon;
    }
    if (tip) {
        data.uFlags |= NIF_TIP;
        shownTip_ = newTip;
        CopyInto(data.szTip, std::size(data.szTip), shownTip_);
    }
    shell_.NotifyIcon(NIM_MODIFY, data);
}

bool CNotificationIcon::ShowNotification(const std::wstring* extra, const std::wstring& text, HICON icon,
                                         std::uint32_t timeoutMs) {
    if (HoldsNotifications(shell_.UserNotificationState())) {
        // Not now: the user presents. The latest notification waits for the state to end.
        held_ = Held{extra ? std::optional<std::wstring>(*extra) : std::nullopt, text, icon, timeoutMs};
        return true;
    }
    held_.reset();
    return ShowNow(extra, text, icon, timeoutMs);
}

void CNotificationIcon::OnEngineTickDone() {
    if (!held_ || HoldsNotifications(shell_.UserNotificationState())) return;
    const Held held = std::move(*held_);
    held_.reset();
    ShowNow(held.extra ? &*held.extra : nullptr, held.text, held.icon, held.timeoutMs);
}

bool CNotificationIcon::ShowNow(const std::wstring* extra, const std::wstring& text, HICON icon,
                                std::uint32_t timeoutMs) {
    if (!m_bCustomPopup) return ShowBalloon(extra, text, icon, timeoutMs);
    ShowPopupAndSound(extra, text, icon, timeoutMs);
    return true;
}

bool CNotificationIcon::ShowBalloon(const std::wstring* extra, const std::wstring& text, HICON icon,
                                    std::uint32_t timeoutMs) {
    NOTIFYICONDATAW data = IconData();
    data.uFlags |= NIF_INFO | (m_bShellV4 ? NIF_SHOWTIP : 0);
    if (!m_bShellV4) data.uTimeout = timeoutMs;  // the version-4 shell times balloons itself
    data.dwInfoFlags = NIIF_USER;
    // Without NIF_ICON the picture serves as the balloon's own icon.
    data.hIcon = icon ? icon : m_hIconBase;
    if (!m_strTitle.empty())
        CopyInto(data.szInfoTitle, std::size(data.szInfoTitle), CutText(m_strTitle, kBalloonTitleMaxChars));
    CopyInto(data.szInfo, std::size(data.szInfo), BalloonText(text, extra));
    balloonShown_ = shell_.NotifyIcon(NIM_MODIFY, data) != FALSE;
    return balloonShown_;
}

void CNotificationIcon::ShowPopupAndSound(const std::wstring* extra, const std::wstring& text, HICON icon,
                                          std::uint32_t timeoutMs) {
    // Whatever fails here, the notification counts as shown.
    try {
        if (m_pPopup) {
            m_pPopup->m_strMessage = text;
            m_pPopup->m_strMessage2 = extra ? *extra : std::wstring();
            m_pPopup->m_hIcon = icon ? icon : m_hIconBase;
            m_pPopup->m_nIconType = 0;
            m_pPopup->m_strTitle = m_strTitle;
            m_pPopup->m_nDisplayMs = timeoutMs;
            m_pPopup->ShowAlert();
        }
        switch (ChooseCustomSound(!m_strSound.empty(), m_bShellV4)) {
            case CustomSound::File: shell_.PlaySoundOf(m_strSound.c_str(), SND_ASYNC); break;
            case CustomSound::Beep: shell_.Beep(MB_ICONASTERISK); break;
            case CustomSound::SystemNotification:
                shell_.PlaySoundOf(L"SystemNotification", SND_ALIAS | SND_ASYNC);
                break;
        }
    } catch (const std::exception&) {
    }
}

void CNotificationIcon::HideNotification() {
    held_.reset();
    if (m_pPopup && m_pPopup->hwnd()) m_pPopup->End(0);
    // The engine hides on every quiet tick; only a balloon shown since needs the shell, and
    // Wine's shell shows an empty balloon for the request.
    if (!balloonShown_) return;
    balloonShown_ = false;
    NOTIFYICONDATAW data = IconData();
    data.uFlags |= NIF_INFO | (m_bShellV4 ? NIF_SHOWTIP : 0);
    shell_.NotifyIcon(NIM_MODIFY, data);
}

void CNotificationIcon::SetEcoMode(bool eco) {
    m_bEcoMode = eco;
    if (!m_pPopup) return;
    m_pPopup->m_bNoFade = eco;
    try {
        m_pPopup->OnEcoModeChanged();
    } catch (const std::exception&) {
    }
}

void CNotificationIcon::SetSoundFile(const wchar_t* path) {
    m_strSound = path ? path : L"";
}

bool CNotificationIcon::ShowWelcomeNotification() {
    owner_.SetAlertBreakDue(false);
    const std::wstring text = ResourceText(owner_.RemindersEnabled() ? IDS_WELCOME_ENABLED : IDS_WELCOME_DISABLED);
    if (ShowNotification(nullptr, text, nullptr, 15000)) return true;
    const int error = static_cast<int>(GetLastError());
    std::wstring message;
    FormatResourceString(message, IDS_BALLOON_FAILED, {error});
    shell_.ShowMessageBox(owner_.IconOwnerWindow(), message, services_.productName, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// The tray callback --------------------------------------------------------------------

void CNotificationIcon::OnTrayCallback(WPARAM, LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case WM_CONTEXTMENU:
        case NIN_BALLOONUSERCLICK:
            owner_.RunEngineTick(true);
            ShowTrayMenu();
            break;
        case WM_MOUSEMOVE:
            if (mouseMoveTick_.Allow(services_.seams.calendar.Now())) owner_.RunEngineTick(false);
            break;
        case NIN_SELECT:
        case NIN_KEYSELECT: owner_.ShowMainWindow(); break;
    }
}

void CNotificationIcon::ShowTrayMenu() {
    HWND window = owner_.IconOwnerWindow();
    const bool breakMenu = m_hIconCurrent && (m_hIconCurrent == owner_.IconById(IDI_BREAK_DUE) ||
                                              m_hIconCurrent == owner_.IconById(IDI_DUE_SUSPENDED));
    MenuOwner mainMenu;
    HMENU menu = nullptr;
    if (breakMenu) {
        menu = owner_.TrayBreakMenu();
    } else {
        mainMenu.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY_MAIN)));
        menu = mainMenu.get();
    }
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!window || !popup) return;  // E_POINTER: nothing to show
    POINT at{};
    GetCursorPos(&at);
    SetMenuDefaultItem(popup, ID_OPEN_MAIN, FALSE);
    // While a modal window of the owner is open (it disables the owner), the menu offers what
    // is safe beside it: not a second modal window. "Open" brings the open one forward.
    const bool modalOpen = !IsWindowEnabled(window);
    EnableMenuItem(popup, ID_ABOUT, MF_BYCOMMAND | (modalOpen ? MF_GRAYED : MF_ENABLED));
    UINT flags = TPM_RIGHTBUTTON;
    if (GetSystemMetrics(SM_MENUDROPALIGNMENT)) flags |= TPM_RIGHTALIGN;
    shell_.TrackMenu(popup, flags, at, window);
    PostMessageW(window, WM_NULL, 0, 0);
}

// Re-creating the icon -----------------------------------------------------------------

void CNotificationIcon::RemoveRetryEvent() {
    events_.Remove(EVENT_TRAY_ICON_RETRY);
}

void CNotificationIcon::Recreate(std::uint32_t style, bool eco, const std::wstring& sound) {
    Delete();
    Init(style, services_.osVersion, owner_.IconOwnerWindow(), kNotificationIconGuid, popupForInit_);
    SetEcoMode(eco);
    SetSoundFile(sound.c_str());
}

void CNotificationIcon::OnTrayIconMessage(WPARAM request) {
    if (request == static_cast<WPARAM>(TrayIconRequest::RetryAdd)) OnTrayIconRequest(TrayIconRequest::RetryAdd);
}

void CNotificationIcon::OnTrayIconRequest(TrayIconRequest request) {
    if (request != TrayIconRequest::RetryAdd) {
        RemoveRetryEvent();
        failures_ = 0;
    }
    const bool eco = ReadSettingDword(services_.identity, Setting::EcoMode) != 0;
    previewEco_ = eco;
    Recreate(ReadSettingDword(services_.identity, Setting::NotificationStyle), eco,
             ReadSettingString(services_.identity, Setting::NotificationSound));
    if (!Add(owner_.IconById(IDI_PROGRAM), services_.productName)) {
        ++failures_;
        if (RetryTrayAddAfter(failures_)) {
            events_.Schedule(EVENT_TRAY_ICON_RETRY, services_.seams.calendar.Now() + kTrayRetrySeconds, 0);
        }
    }
    if (request == TrayIconRequest::RecreateWithWelcome) ShowWelcomeNotification();
}

// The same call as a notification's own sound file.
void CNotificationIcon::PlaySoundFile(const std::wstring& path) {
    shell_.PlaySoundOf(path.c_str(), SND_ASYNC);
}

void CNotificationIcon::PreviewStyle(std::uint32_t style) {
    RemoveRetryEvent();
    Recreate(style <= NOTIFY_STYLE_XP_CUSTOM ? style : NOTIFY_STYLE_SYSTEM, previewEco_, previewSound_);
    Add(owner_.IconById(IDI_PROGRAM), services_.productName);
    ShowWelcomeNotification();
}

}  // namespace rw
