// What the window tests share: a small application state that records help and links, a
// recording shell, and a hidden owner window that collects the commands posted to it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/shared/AppShared.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeInputClock.h"
#include "fakes/FakeLocale.h"
#include "ui/notify/NotificationIcon.h"
#include "platform/win32/RegistryWin32.h"
#include "res/resource.h"
#include "settings/AppSettings.h"

namespace rw::test {

class TestAppShared : public AppShared {
public:
    // registry: where the settings live; the real (Wine) registry when none is given.
    explicit TestAppShared(Registry* registry = nullptr)
        : AppShared(identity_, Seams{input, calendar, locale}),
          identity_{L"QuillfenTest", L"Restwell", registry ? registry : &registry_} {
        productName = L"Restwell";
        fullName = L"Quillfen Restwell";
        companyLegalName = L"Quillfen Ltd.";
        osVersion.dwOSVersionInfoSize = sizeof osVersion;
        osVersion.dwMajorVersion = 10;
    }
    void LoadAppSettings() override {
        ++reloads;
        LoadApplicationSettings(identity, *this);
    }
    void ShowHelp(DWORD_PTR data, UINT command) override { help.push_back({data, command}); }
    void OpenWebAddress(const wchar_t* address, bool addVersion) override {
        opened.push_back(std::wstring(address) + (addVersion ? L" +ver" : L""));
    }
    void OpenHealthHint(std::uint32_t hint) override { hints.push_back(hint); }

    FakeInputClock input;
    FakeCalendar calendar;
    FakeLocale locale;
    int reloads = 0;
    std::vector<std::pair<DWORD_PTR, UINT>> help;
    std::vector<std::wstring> opened;  // with " +ver" when the version is to be added
    std::vector<std::uint32_t> hints;

private:
    RegistryWin32 registry_;
    SettingsIdentity identity_;
};

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAW data;
};

class RecordingShell : public ShellNotify {
public:
    BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
        calls.push_back({message, data});
        const bool fail = (message == NIM_ADD && failAdd) || (message == NIM_MODIFY && failModify);
        if (fail) SetLastError(1234);
        return fail ? FALSE : TRUE;
    }
    BOOL PlaySoundOf(const wchar_t* sound, DWORD flags) override {
        sounds.push_back(L"play " + std::wstring(sound) + L" " + std::to_wstring(flags));
        return TRUE;
    }
    BOOL Beep(UINT type) override {
        sounds.push_back(L"beep " + std::to_wstring(type));
        return TRUE;
    }
    int UserNotificationState() override { return userState; }
    void TrackMenu(HMENU menu, UINT flags, POINT, HWND window) override {
        trackedFirstItem = GetMenuItemID(menu, 0);
        trackedAboutGrayed = (GetMenuState(menu, ID_ABOUT, MF_BYCOMMAND) & MF_GRAYED) != 0;
        trackedDefault = GetMenuDefaultItem(menu, FALSE, 0);
        trackedFlags = flags;
        trackedWindow = window;
    }
    int ShowMessageBox(HWND, const std::wstring& text, const std::wstring&, UINT type) override {
        boxes.push_back(text);
        boxTypes.push_back(type);
        return IDOK;
    }

    std::vector<ShellCall> CallsOf(DWORD message) const {
        std::vector<ShellCall> result;
        for (const ShellCall& c : calls) {
            if (c.message == message) result.push_back(c);
        }
        return result;
    }

    bool failAdd = false;
    bool failModify = false;
    int userState = 5;  // QUNS_ACCEPTS_NOTIFICATIONS
    std::vector<ShellCall> calls;
    std::vector<std::wstring> sounds;
    std::vector<std::wstring> boxes;
    std::vector<UINT> boxTypes;
    UINT trackedFirstItem = 0;
    bool trackedAboutGrayed = false;
    UINT trackedDefault = static_cast<UINT>(-1);
    UINT trackedFlags = 0;
    HWND trackedWindow = nullptr;
};

// A hidden top-level window standing in for the main window.
class TestOwnerWindow {
public:
    TestOwnerWindow();
    ~TestOwnerWindow();
    HWND hwnd() const { return hwnd_; }
    // Pumps the thread's messages for ms milliseconds; WM_COMMANDs posted to this window are
    // collected in commands, WM_NULLs counted.
    void Pump(DWORD ms);
    std::vector<UINT> commands;
    int nulls = 0;

private:
    HWND hwnd_ = nullptr;
};

class RecordingIconOwner : public NotificationIconOwner, public EventScheduler {
public:
    explicit RecordingIconOwner(HWND window) : window_(window) {}
    HWND IconOwnerWindow() override { return window_; }
    HICON IconById(int iconId) override;
    HMENU TrayBreakMenu() override { return breakMenu; }
    void RunEngineTick(bool quiet) override { ticks.push_back(quiet); }
    void ShowMainWindow() override { ++mainShown; }
    bool RemindersEnabled() const override { return reminders; }
    void SetAlertBreakDue(bool breakDue) override { alertBreakDue = breakDue; }
    void Schedule(std::int32_t id, std::int64_t start, std::int64_t interval) override {
        scheduled.push_back({id, start, interval});
    }
    bool Remove(std::int32_t id) override {
        removed.push_back(id);
        return removeFinds;
    }
    void Wake() override {}
    void IconAdded() override { ++iconsAdded; }

    struct Scheduled {
        std::int32_t id;
        std::int64_t start, interval;
        bool operator==(const Scheduled& o) const { return id == o.id && start == o.start && interval == o.interval; }
    };
    HMENU breakMenu = nullptr;
    std::vector<bool> ticks;
    int mainShown = 0;
    bool reminders = true;
    std::optional<bool> alertBreakDue;  // none until set
    std::vector<Scheduled> scheduled;
    std::vector<std::int32_t> removed;
    bool removeFinds = false;
    int iconsAdded = 0;

private:
    HWND window_;
};

// The access keys ("&x") of a dialog's controls, lower-cased, one entry per control that has
// one (statics without prefix processing have none), in the dialog's child order.
std::wstring AccessKeysOf(HWND dialog);

}  // namespace rw::test
