#include "settings/UnsavedSettings.h"

namespace rw {

void UnsavedSettings::Refused(const std::wstring& key, const wchar_t* name, Value value, HResult error) {
    bool first = false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        values_[key] = std::move(value);
        if (!first_) {
            first_ = Report{name ? name : L"", error};
            first = true;
        }
    }
    if (first && onFailure) onFailure();
}

void UnsavedSettings::Stored(const std::wstring& key) {
    std::lock_guard<std::mutex> hold(lock_);
    values_.erase(key);
}

std::optional<UnsavedSettings::Value> UnsavedSettings::Find(const std::wstring& key) const {
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<UnsavedSettings::Report> UnsavedSettings::TakeReport() {
    std::lock_guard<std::mutex> hold(lock_);
    if (reported_ || !first_) return std::nullopt;
    reported_ = true;
    return first_;
}

}  // namespace rw
