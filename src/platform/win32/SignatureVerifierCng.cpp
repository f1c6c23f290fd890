#include "platform/win32/SignatureVerifierCng.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

namespace rw {
namespace {

// Closes an algorithm provider or destroys a key when it goes.
struct Provider {
    BCRYPT_ALG_HANDLE h = nullptr;
    ~Provider() {
        if (h) BCryptCloseAlgorithmProvider(h, 0);
    }
};
struct Key {
    BCRYPT_KEY_HANDLE h = nullptr;
    ~Key() {
        if (h) BCryptDestroyKey(h);
    }
};

}  // namespace

bool SignatureVerifierCng::VerifyP256Sha256(const std::vector<std::uint8_t>& publicKey,
                                            const std::vector<std::uint8_t>& data,
                                            const std::array<std::uint8_t, 64>& signature) {
    constexpr ULONG kCoordinate = 32;
    lastStatus_ = 0;
    if (publicKey.size() != 1 + 2 * kCoordinate || publicKey[0] != 0x04) return false;

    std::uint8_t digest[32] = {};
    Provider sha;
    NTSTATUS status = BCryptOpenAlgorithmProvider(&sha.h, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (BCRYPT_SUCCESS(status)) {
        status = BCryptHash(sha.h, nullptr, 0, const_cast<PUCHAR>(data.data()), static_cast<ULONG>(data.size()), digest,
                            sizeof digest);
    }
    if (!BCRYPT_SUCCESS(status)) {
        lastStatus_ = status;
        return false;
    }

    // The public blob: its header, then X and Y.
    std::vector<std::uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinate);
    BCRYPT_ECCKEY_BLOB header{};
    header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = kCoordinate;
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, publicKey.data() + 1, 2 * kCoordinate);

    Provider ecdsa;
    Key key;
    status = BCryptOpenAlgorithmProvider(&ecdsa.h, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
    if (BCRYPT_SUCCESS(status)) {
        status = BCryptImportKeyPair(ecdsa.h, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key.h, blob.data(),
                                     static_cast<ULONG>(blob.size()), 0);
    }
    if (BCRYPT_SUCCESS(status)) {
        status = BCryptVerifySignature(key.h, nullptr, digest, sizeof digest, const_cast<PUCHAR>(signature.data()),
                                       static_cast<ULONG>(signature.size()), 0);
    }
    lastStatus_ = status;
    return BCRYPT_SUCCESS(status);
}

}  // namespace rw
