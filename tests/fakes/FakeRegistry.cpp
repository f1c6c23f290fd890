#include "fakes/FakeRegistry.h"

#include <cstring>
#include <cwctype>

#include "platform/HResult.h"

namespace rw::test {

std::wstring FakeRegistry::Fold(const std::wstring& text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towlower(c));
    return folded;
}

std::wstring FakeRegistry::Normalise(RootKey root, const std::wstring& path) {
    std::wstring p = Fold(path);
    while (!p.empty() && p.back() == L'\\') p.pop_back();
    return std::to_wstring(root) + L"\\" + p;
}

long FakeRegistry::OpenKey(RootKey root, const std::wstring& path, std::uint32_t, RegKey* key) {
    *key = nullptr;
    if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return 6;  // ERROR_INVALID_HANDLE
    const std::wstring name = Normalise(root, path);
    if (!keys_.count(name)) return kErrorFileNotFound;
    *key = reinterpret_cast<RegKey>(nextHandle_++);
    handles_[*key] = name;
    return kErrorSuccess;
}

long FakeRegistry::CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegKey* key) {
    *key = nullptr;
    if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return 6;
    // Every parent key comes into being with the key itself.
    std::wstring partial;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        partial += (partial.empty() ? L"" : L"\\") + path.substr(start, end - start);
        keys_[Normalise(root, partial)];
        start = end + 1;
    }
    return OpenKey(root, path, access, key);
}

long FakeRegistry::QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return 6;
    if (data && !size) return kErrorInvalidParameter;
    const Key& k = keys_[handle->second];
    const auto found = k.values.find(Fold(name ? name : L""));
    if (found == k.values.end()) return kErrorFileNotFound;
    const Value& v = found->second;
    const auto stored = static_cast<std::uint32_t>(v.data.size());
    if (type) *type = v.type;
    if (!data) {
        if (size) *size = stored;
        return kErrorSuccess;
    }
    if (*size < stored) {
        *size = stored;
        return kErrorMoreData;
    }
    if (stored) std::memcpy(data, v.data.data(), stored);
    *size = stored;
    return kErrorSuccess;
}

long FakeRegistry::SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return 6;
    Value& v = keys_[handle->second].values[Fold(name ? name : L"")];
    v.type = type;
    v.data.assign(data, data + size);
    ++valueWrites;
    return kErrorSuccess;
}

void FakeRegistry::CloseKey(RegKey key) { handles_.erase(key); }

void FakeRegistry::Clear() {
    keys_.clear();
    handles_.clear();
}

bool FakeRegistry::KeyExists(RootKey root, const std::wstring& path) const {
    return keys_.count(Normalise(root, path)) != 0;
}

}  // namespace rw::test
