#include "updates/UpdateSignature.h"

#include "core/VendorSite.h"

namespace rw {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One DER INTEGER at p (short-form length), as a 32-byte unsigned number.
bool ReadInteger(const std::vector<std::uint8_t>& der, size_t& p, std::uint8_t* out) {
    if (p + 2 > der.size() || der[p] != 0x02) return false;
    size_t length = der[p + 1];
    p += 2;
    if (length == 0 || length > 0x7F || p + length > der.size()) return false;
    const std::uint8_t* value = der.data() + p;
    p += length;
    if (value[0] & 0x80) return false;  // negative
    if (value[0] == 0 && length > 1) {
        if (!(value[1] & 0x80)) return false;  // a leading zero that is not needed
        ++value;
        --length;
    }
    if (length > 32) return false;
    for (size_t i = 0; i < 32; ++i) out[i] = 0;
    for (size_t i = 0; i < length; ++i) out[32 - length + i] = value[i];
    return true;
}

}  // namespace

std::vector<std::uint8_t> PublicKeyFromHex(const std::string& hex) {
    if (hex.size() != 130) return {};
    std::vector<std::uint8_t> key(65);
    for (size_t i = 0; i < key.size(); ++i) {
        const int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return {};
        key[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return key[0] == 0x04 ? key : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> CompiledUpdateKey() {
    return PublicKeyFromHex(UpdateSigningKeyHex());
}

std::optional<std::array<std::uint8_t, 64>> EcdsaSignatureFromDer(const std::vector<std::uint8_t>& der) {
    if (der.size() < 2 || der[0] != 0x30 || der[1] > 0x7F || der[1] + 2u != der.size()) return std::nullopt;
    std::array<std::uint8_t, 64> signature{};
    size_t p = 2;
    if (!ReadInteger(der, p, signature.data()) || !ReadInteger(der, p, signature.data() + 32)) return std::nullopt;
    if (p != der.size()) return std::nullopt;
    return signature;
}

bool UpdateSignatureAccepted(SignatureVerifier& verifier, const std::vector<std::uint8_t>& key,
                             const std::vector<std::uint8_t>& body, const std::vector<std::uint8_t>& signatureDer) {
    if (key.empty()) return true;
    const auto signature = EcdsaSignatureFromDer(signatureDer);
    return signature && verifier.VerifyP256Sha256(key, body, *signature);
}

}  // namespace rw
