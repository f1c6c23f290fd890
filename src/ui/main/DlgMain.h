// The main window: created hidden at start-up from template 102, lives for the whole run.
// Closing it (Close, Escape, the close box) only hides it.
#pragma once
#include "app/AppShared.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"

class CdlgMain : public rw::Dialog {
public:
    explicit CdlgMain(rw::AppShared& app);
    // The window goes first, while its handlers and the icons it shows still exist.
    ~CdlgMain() override;

    // Shows the window normally, on top, in the foreground and with the focus.
    void ShowMain();
    // Destroys the window and ends the program's message loop.
    void Exit();

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;

private:
    LRESULT OnInstanceMessage(WPARAM action);

    rw::AppShared& app_;
    HICON m_hIconApp = nullptr;  // the shared program icon, not destroyed
    rw::IconOwner m_iconAppSmall;
};
