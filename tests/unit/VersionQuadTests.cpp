// Version quads: the packed number, its order and its 8-byte little-endian codec, and the
// running version the build generates from the project version.
#include <gtest/gtest.h>

#include <string>

#include "core/CalendarTime.h"
#include "core/VersionQuad.h"

using namespace rw;

namespace {

TEST(VersionQuad, PacksComparesAndStoresLittleEndian) {
    const VersionQuad v = PackVersion(2, 1, 0, 13021);
    EXPECT_EQ(v, 0x00020001000032DDull);
    EXPECT_LT(v, PackVersion(2, 1, 1, 0));
    EXPECT_LT(PackVersion(2, 0, 65535, 65535), PackVersion(2, 1, 0, 0));
    EXPECT_EQ(VersionPart(v, 0), 2);
    EXPECT_EQ(VersionPart(v, 3), 13021);
    const Bytes8 bytes = EncodeLE64(v);
    EXPECT_EQ(bytes[0], 0xDD);
    EXPECT_EQ(bytes[1], 0x32);
    EXPECT_EQ(bytes[6], 0x02);
    EXPECT_EQ(DecodeLE64(bytes.data()), v);
    EXPECT_EQ(DecodeTime(EncodeTime(-1).data()), -1);
    EXPECT_EQ(EncodeTime(-1)[7], 0xFF);
}

TEST(VersionQuad, TheRunningVersionAgreesWithItsTexts) {
    const std::wstring text = std::to_wstring(VersionPart(kRunningVersion, 0)) + L"." +
                              std::to_wstring(VersionPart(kRunningVersion, 1)) + L"." +
                              std::to_wstring(VersionPart(kRunningVersion, 2)) + L"." +
                              std::to_wstring(VersionPart(kRunningVersion, 3));
    EXPECT_EQ(text, kRunningVersionText);
    EXPECT_EQ(text.rfind(kRunningVersionShort, 0), 0u) << "the short form starts the full one";
}

}  // namespace
