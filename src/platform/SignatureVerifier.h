// Checking a detached signature: ECDSA on the P-256 curve over the SHA-256 of some bytes.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace rw {

class SignatureVerifier {
public:
    virtual ~SignatureVerifier() = default;
    // publicKey: the uncompressed point (0x04, X, Y: 65 bytes); signature: r then s, 32
    // bytes each, most significant first. False for a bad signature and for any failure.
    virtual bool VerifyP256Sha256(const std::vector<std::uint8_t>& publicKey, const std::vector<std::uint8_t>& data,
                                  const std::array<std::uint8_t, 64>& signature) = 0;
};

}  // namespace rw
