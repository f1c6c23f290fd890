// The Windows suite runs on a COM apartment, as the program's user-interface thread does.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
