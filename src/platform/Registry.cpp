#include "platform/Registry.h"

namespace rw {

namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;

class NoRegistry final : public Registry {
public:
    long OpenKey(RootKey, const std::wstring&, std::uint32_t, RegKey* key) override {
        *key = nullptr;
        return kErrorFileNotFound;
    }
    long CreateKey(RootKey, const std::wstring&, std::uint32_t, RegKey* key) override {
        *key = nullptr;
        return kErrorAccessDenied;
    }
    long QueryValue(RegKey, const wchar_t*, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
        return kErrorFileNotFound;
    }
    long SetValue(RegKey, const wchar_t*, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
        return kErrorAccessDenied;
    }
    void CloseKey(RegKey) override {}
};

}  // namespace

Registry& UnavailableRegistry() {
    static NoRegistry none;
    return none;
}

}  // namespace rw
