// The application base's profile integers: the plain per-user key of the registry key and
// application name set at start-up.
#include <gtest/gtest.h>

#include "../shared/RegistryTestEnv.h"
#include "framework/Application.h"

using namespace rw;
using namespace rw::test;

namespace {

class FrameworkProfile : public RegistryTest {
protected:
    Application app;
};

TEST_F(FrameworkProfile, IntegersLiveUnderCompanyProductAndSection) {
    app.SetAppName(kTestProduct);
    app.SetRegistryKey(kTestCompany, TestRegistry());
    app.SetAppName(L"Shown name");  // later names title message boxes, not the profile
    EXPECT_EQ(app.GetProfileInt(L"Breaks", L"Score", 50), 50u) << "missing: the default";
    ASSERT_TRUE(app.WriteProfileInt(L"Breaks", L"Score", 47));
    EXPECT_EQ(app.GetProfileInt(L"Breaks", L"Score", 50), 47u);

    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(GetRawValue(kHkeyCurrentUser, TestPath(false, L"Breaks"), L"Score", type, data));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{47, 0, 0, 0}));

    // A value of another type reads as missing.
    PutString(kHkeyCurrentUser, false, L"Breaks", L"Work", L"55");
    EXPECT_EQ(app.GetProfileInt(L"Breaks", L"Work", 9), 9u);
}

TEST_F(FrameworkProfile, NothingWithoutRegistryKey) {
    app.SetAppName(kTestProduct);
    EXPECT_FALSE(app.WriteProfileInt(L"Breaks", L"Score", 47));
    EXPECT_EQ(app.GetProfileInt(L"Breaks", L"Score", 50), 50u);
    EXPECT_FALSE(TestKeyExists(kHkeyCurrentUser, TestPath(false)));
}

}  // namespace
