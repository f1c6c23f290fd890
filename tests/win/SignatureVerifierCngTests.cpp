// The update file's signature through Windows' CNG, with a key pair and signature made by
// openssl (the way scripts/sign-update makes them): a good signature, a flipped byte in the
// file or in the signature, another key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/SignatureVerifierCng.h"
#include "updates/UpdateSignature.h"

using namespace rw;

namespace {

std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

const std::string kKey =
    "04fd3571394503719aaa42264b8834278ad4722e2842e35f5c8b62e2b862d310bd4cf2bc15e06b8b8915defc04bc62468235b3e1bc28815"
    "4fb7eb7ed6165f2601d";
const std::string kOtherKey =
    "043bf99a9201f14f1b0476dc66648d8aa007130913bdeddd00b143d9487e17cffea9eca46c8c7120ef38e891c50f876ceb10e9db58117b9"
    "c71436b451fc0cd10ab";
const std::string kSignature =
    "3044022036e6f5e43989d935f831d77afcf3222b5047915caae6d7a249b090e4f2185c2202201c2d0403c48cb6aaa9df1ffb7ba9a21b3149"
    "5c7468f497e7ed125ca5b3eb0e34";
const std::string kFile =
    "{C476BF3C-A85C-4C00-96A4-6F39C301010F}\nP:PRODUCT_V1\t2.1.0.13022\tO\thttp://dl.test/setup\n";

TEST(SignatureVerifierCng, AcceptsOnlyTheKeysSignatureOverTheseBytes) {
    SignatureVerifierCng cng;
    const std::vector<std::uint8_t> file(kFile.begin(), kFile.end());
    const std::vector<std::uint8_t> key = PublicKeyFromHex(kKey);
    ASSERT_EQ(key.size(), 65u);
    EXPECT_TRUE(UpdateSignatureAccepted(cng, key, file, FromHex(kSignature)))
        << "bcrypt status 0x" << std::hex << cng.LastStatus();

    std::vector<std::uint8_t> flippedFile = file;
    flippedFile[50] ^= 0x01;
    EXPECT_FALSE(UpdateSignatureAccepted(cng, key, flippedFile, FromHex(kSignature)));
    std::vector<std::uint8_t> flippedSignature = FromHex(kSignature);
    flippedSignature[20] ^= 0x01;
    EXPECT_FALSE(UpdateSignatureAccepted(cng, key, file, flippedSignature));
    EXPECT_FALSE(UpdateSignatureAccepted(cng, PublicKeyFromHex(kOtherKey), file, FromHex(kSignature)));
    EXPECT_FALSE(UpdateSignatureAccepted(cng, key, file, {}));
}

}  // namespace
