// Version quads: the packed number, its order and its 8-byte little-endian codec.
#include <gtest/gtest.h>

#include "app/VersionQuad.h"

using namespace rw;

namespace {

TEST(VersionQuad, PacksComparesAndStoresLittleEndian) {
    EXPECT_EQ(kRunningVersion, 0x00020001000032DDull);
    EXPECT_LT(PackVersion(2, 1, 0, 13021), PackVersion(2, 1, 1, 0));
    EXPECT_LT(PackVersion(2, 0, 65535, 65535), PackVersion(2, 1, 0, 0));
    EXPECT_EQ(VersionPart(kRunningVersion, 0), 2);
    EXPECT_EQ(VersionPart(kRunningVersion, 3), 13021);
    const Bytes8 bytes = EncodeLE64(kRunningVersion);
    EXPECT_EQ(bytes[0], 0xDD);
    EXPECT_EQ(bytes[1], 0x32);
    EXPECT_EQ(bytes[6], 0x02);
    EXPECT_EQ(DecodeLE64(bytes.data()), kRunningVersion);
    EXPECT_EQ(DecodeTime(EncodeTime(-1).data()), -1);
    EXPECT_EQ(EncodeTime(-1)[7], 0xFF);
}

}  // namespace
