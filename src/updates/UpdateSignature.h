// The update file's detached signature: ECDSA P-256 over the SHA-256 of the file's bytes,
// in the DER form openssl writes, beside the file on the vendor host. A release built with
// a public key accepts only a file that this key signed.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/SignatureVerifier.h"

namespace rw {

// The compiled-in public key as bytes (the uncompressed point, 65 bytes); empty when the
// build has none or its text is not such a key.
std::vector<std::uint8_t> PublicKeyFromHex(const std::string& hex);
std::vector<std::uint8_t> CompiledUpdateKey();

// r and s of a DER ECDSA-Sig-Value (SEQUENCE of two INTEGERs), each as 32 bytes; nothing
// for anything else (other lengths, trailing bytes, negative or oversized numbers).
std::optional<std::array<std::uint8_t, 64>> EcdsaSignatureFromDer(const std::vector<std::uint8_t>& der);

// True when key is empty (no signature asked for) or the signature is key's over body.
bool UpdateSignatureAccepted(SignatureVerifier& verifier, const std::vector<std::uint8_t>& key,
                             const std::vector<std::uint8_t>& body, const std::vector<std::uint8_t>& signatureDer);

}  // namespace rw
