// The Windows suite runs on a COM apartment with the common controls and rich edit 2.0
// registered, as the program's user-interface thread does.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
        InitCommonControlsEx(&controls);
        richEdit_ = LoadLibraryW(L"riched20.dll");
    }
    void TearDown() override {
        if (richEdit_) FreeLibrary(richEdit_);
        CoUninitialize();
    }

private:
    HMODULE richEdit_ = nullptr;
};

const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
