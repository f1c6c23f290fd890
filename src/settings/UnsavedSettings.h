// Settings the user chose but the registry refused to store (a read-only key, a full disk):
// the program keeps them for the rest of the run, reads them in place of what is stored, and
// tells the user once. Writes come from the user-interface thread and the worker, hence the lock.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include "platform/HResult.h"

namespace rw {

class UnsavedSettings {
public:
    using Value = std::variant<std::uint32_t, std::wstring, std::int64_t>;
    struct Report {
        std::wstring name;  // the value's name, e.g. "Work"
        HResult error;
    };

    // A write failed: the value is kept, and the first failure of the run calls onFailure.
    void Refused(const std::wstring& key, const wchar_t* name, Value value, HResult error);
    // A later write of the same value succeeded: the stored one counts again.
    void Stored(const std::wstring& key);
    std::optional<Value> Find(const std::wstring& key) const;
    // The first failure, once per run; nothing after that or when nothing failed.
    std::optional<Report> TakeReport();

    // Called (from the writing thread) on the first failure; the program posts to its window.
    std::function<void()> onFailure;

private:
    mutable std::mutex lock_;
    std::map<std::wstring, Value> values_;
    std::optional<Report> first_;
    bool reported_ = false;
};

}  // namespace rw
