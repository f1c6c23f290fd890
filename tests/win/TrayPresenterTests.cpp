// The tray presenter as the break engine's host, without a main window: a real engine drives
// the icon in Wine's notification area, and the icon's clicks reach the engine and the main
// window's show request through the presenter alone.
#include <windows.h>

#include <gtest/gtest.h>

#include "../shared/RegistryTestEnv.h"
#include "NotifyTestSupport.h"
#include "core/PrivateMessages.h"
#include "engine/BreakEngine.h"
#include "ui/main/TrayPresenter.h"

using namespace rw;
using namespace rw::test;

namespace {

// What the engine shows in a main window, recorded.
class RecordingView : public BreakEngineView {
public:
    void SetStatusIcon(int iconId) override { statusIcon = iconId; }
    void UpdateControlsFromData() override { ++updates; }
    void RepaintRatingBar() override {}
    bool IsMainWindowVisible() override { return false; }
    void ArmTickTimer(std::uint32_t) override {}
    void KillTickTimer() override {}
    int statusIcon = -1;
    int updates = 0;
};

class TrayPresenterTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        engine = std::make_unique<CBreakEngine>(
            BreakEngineSeams{tray, view, events, app.input, app.calendar, texts, app.identity});
        tray.Attach(window.hwnd(), *engine);
        tray.Icon().OnTrayIconRequest(TrayIconRequest::Recreate);
        engine->ApplyEnable();
        engine->OnInitialised();
    }
    void TearDown() override {
        tray.Close();
        RegistryTest::TearDown();
    }
    LPARAM Event(UINT event) const { return MAKELPARAM(event, 0); }

    TestAppShared app;
    TestOwnerWindow window;
    RecordingIconOwner events{window.hwnd()};
    CPlannedBreakTexts texts{app.locale};
    RecordingView view;
    int mainShown = 0;
    CTrayPresenter tray{app.Services(), events, [this] { ++mainShown; }};
    std::unique_ptr<CBreakEngine> engine;
};

TEST_F(TrayPresenterTest, TheEngineShowsItsStateOnTheIconAndTheClicksComeBackToIt) {
    // The engine's state reaches both hosts: the same state icon in the main window's status
    // and in the notification area, with the program's name first in the tooltip.
    ASSERT_NE(tray.Icon().m_hWndOwner, nullptr) << "the shell took the icon";
    ASSERT_GT(view.statusIcon, 0);
    ASSERT_NE(tray.IconById(view.statusIcon), nullptr);
    EXPECT_EQ(tray.Icon().m_hIconCurrent, tray.IconById(view.statusIcon));

    // A pointer over the icon ticks the engine (which updates the main window's texts); a
    // selection asks for the main window; other messages are the main window's own.
    const int before = view.updates;
    EXPECT_TRUE(tray.OnMessage(WMU_TRAY_CALLBACK, 0, Event(WM_MOUSEMOVE)));
    EXPECT_GT(view.updates, before);
    EXPECT_TRUE(tray.OnMessage(WMU_TRAY_CALLBACK, 0, Event(NIN_SELECT)));
    EXPECT_EQ(mainShown, 1);
    EXPECT_FALSE(tray.OnMessage(WMU_PLANNED_BREAK_DUE, 0, 0));
    EXPECT_FALSE(tray.OnMessage(WM_TIMER, CBreakEngine::kTickTimerId, 0));
}

}  // namespace
