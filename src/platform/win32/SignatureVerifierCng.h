// The signature seam over Windows' own CNG (bcrypt): SHA-256, then BCryptVerifySignature
// with the key imported as an ECDSA P-256 public blob.
#pragma once
#include "platform/SignatureVerifier.h"

namespace rw {

class SignatureVerifierCng final : public SignatureVerifier {
public:
    bool VerifyP256Sha256(const std::vector<std::uint8_t>& publicKey, const std::vector<std::uint8_t>& data,
                          const std::array<std::uint8_t, 64>& signature) override;
    // The NTSTATUS of the last step that failed (0 when none did), for tests and the log.
    long LastStatus() const { return lastStatus_; }

private:
    long lastStatus_ = 0;
};

}  // namespace rw
