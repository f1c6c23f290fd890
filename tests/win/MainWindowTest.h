// A test of the real main window on the real (Wine) registry: the window built and created
// hidden as the start-up does, gone before the registry is cleaned.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "../shared/RegistryTestEnv.h"
#include "NotifyTestSupport.h"
#include "platform/win32/MessagePosterWin32.h"
#include "ui/main/Main.h"

namespace rw::test {

template <class App = TestAppShared>
class MainWindowTest : public RegistryTest {
protected:
    void Start() {
        main = std::make_unique<CdlgMain>(
            app, [](HWND window) { return std::make_shared<rw::WindowMessagePoster>(window); });
        ASSERT_TRUE(main->Create());
    }
    void TearDown() override {
        main.reset();
        RegistryTest::TearDown();
    }

    App app;
    std::unique_ptr<CdlgMain> main;
};

}  // namespace rw::test
