// The main window's side of the upgrade and news check: the Upgrade and News buttons, the
// upgrade notice, the news window and its pop-up, and storing what the worker found. A part
// of the main window, working on its buttons and owning no window of its own.
#pragma once
#include <windows.h>

#include <functional>

#include <cstdint>

#include "ui/shared/WindowServices.h"
#include "updates/UpgradeCheck.h"

namespace rw {

class CUpdateNotices {
public:
    // updates: what the worker found, and the state stored at start-up, owned by the
    // application; welcomeTime: when the welcome wizard was finished (the news pop-up waits a
    // week); exit: ends the program (after a required upgrade or the end of support).
    CUpdateNotices(const WindowServices& services, SharedUpdateRecords& updates, const std::int64_t& welcomeTime,
                   std::function<void()> exit);

    // The main window whose buttons these are and which owns the news window.
    void Attach(HWND window) { window_ = window; }
    // The title font the upgrade notice borrows (the main window's).
    void LendTitleFont(HFONT font) { titleFont_ = font; }
    // The worker's messages: true when the message was one.
    bool OnMessage(UINT message);
    // The buttons for the state stored at start-up.
    void ShowStoredState();
    // Both buttons again, after a policy change (no pop-up).
    void RefreshButtons();
    void OnUpgradeButton();
    void ShowNewsWindow();

private:
    void OnUpgradeInfo();
    void OnNewsInfo();
    void OnUpgradeNotice();
    void OnCheckSkipped();
    void RefreshUpgradeButton();
    void RefreshNewsButton(bool popup);
    // A button that is hidden is disabled as well, so that its access key cannot reach it.
    void ShowButton(int id, bool visible, bool enabled) const;

    const WindowServices& services_;
    SharedUpdateRecords& updates_;
    const std::int64_t& welcomeTime_;
    HFONT titleFont_ = nullptr;
    std::function<void()> exit_;
    HWND window_ = nullptr;
    bool newsWindowOpen_ = false;
    bool upgradeNoticeOpen_ = false;
    bool newsPopupWaiting_ = false;  // news came while an upgrade notice was open
};

}  // namespace rw
