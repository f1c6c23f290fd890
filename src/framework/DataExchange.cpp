#include "framework/DataExchange.h"

#include <commctrl.h>

#include <limits>

#include "core/ResourceString.h"
#include "framework/Application.h"
#include "framework/IntegerText.h"
#include "framework/Window.h"

namespace rw {
namespace {

// Calendar seconds and FILETIME's 100-ns steps since 1601.
constexpr std::int64_t kFileTimeUnitsPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

bool LocalSystemTimeFromTime(std::int64_t time, SYSTEMTIME& local) {
    const std::uint64_t units = static_cast<std::uint64_t>((time + kSecondsFrom1601To1970) * kFileTimeUnitsPerSecond);
    FILETIME utcFile{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
    SYSTEMTIME utc{};
    return FileTimeToSystemTime(&utcFile, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
}

bool TimeFromLocalSystemTime(const SYSTEMTIME& local, std::int64_t& time) {
    SYSTEMTIME utc{};
    FILETIME utcFile{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &utcFile)) return false;
    const std::uint64_t units = (static_cast<std::uint64_t>(utcFile.dwHighDateTime) << 32) | utcFile.dwLowDateTime;
    time = static_cast<std::int64_t>(units) / kFileTimeUnitsPerSecond - kSecondsFrom1601To1970;
    return true;
}

int CheckValueOf(LRESULT state) {
    if (state == BST_CHECKED) return 1;
    if (state == BST_INDETERMINATE) return 2;
    return 0;
}

WPARAM CheckStateOf(int value) {
    if (value == 1) return BST_CHECKED;
    if (value == 2) return BST_INDETERMINATE;
    return BST_UNCHECKED;
}

}  // namespace

void ShowExchangeFailure(HWND dialog, const ExchangeFailure& failure) {
    const Application* app = Application::Current();
    const std::wstring title = app ? app->AppName() : std::wstring();
    MessageBoxW(dialog, failure.prompt.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void SetTextIfChanged(HWND hwnd, const std::wstring& text) {
    if (hwnd && Window::TextOf(hwnd) != text) SetWindowTextW(hwnd, text.c_str());
}

void DataExchange::Fail(int id, std::wstring prompt) {
    failed_ = true;
    failedControl_ = id;
    const ExchangeFailure failure{id, std::move(prompt)};
    if (onError_) {
        onError_(failure);
    } else {
        ShowExchangeFailure(dialog_, failure);
    }
    // WM_NEXTDLGCTL moves the focus the dialog's way: an edit field gets its text selected.
    if (HWND control = Item(id)) SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void DataExchange::Text(int id, std::wstring& value) {
    if (failed_) return;
    if (reading()) {
        Stage(value, Window::TextOf(Item(id)));
    } else {
        SetTextIfChanged(Item(id), value);
    }
}

template <typename T>
void DataExchange::Integer(int id, T& value, T min, T max) {
    if (failed_) return;
    if (!reading()) {
        SetTextIfChanged(Item(id), std::to_wstring(value));
        return;
    }
    const std::wstring text = Window::TextOf(Item(id));
    const auto parsed = ParseInteger(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    if (!parsed) {
        Fail(id, ResourceText(kPromptEnterInteger));
        return;
    }
    if (*parsed < min || *parsed > max) {
        std::wstring prompt;
        FormatResourceString(prompt, kPromptEnterIntegerRange,
                             {static_cast<long long>(min), static_cast<long long>(max)});
        Fail(id, prompt);
        return;
    }
    Stage(value, static_cast<T>(*parsed));
}

void DataExchange::Int16(int id, std::int16_t& value) {
    Integer(id, value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
}
void DataExchange::Int32(int id, std::int32_t& value) {
    Integer(id, value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
}
void DataExchange::Int16(int id, std::int16_t& value, std::int16_t min, std::int16_t max) {
    Integer(id, value, min, max);
}
void DataExchange::Int32(int id, std::int32_t& value, std::int32_t min, std::int32_t max) {
    Integer(id, value, min, max);
}

void DataExchange::Check(int id, int& value) {
    if (failed_) return;
    if (reading()) {
        Stage(value, CheckValueOf(SendMessageW(Item(id), BM_GETCHECK, 0, 0)));
    } else {
        SendMessageW(Item(id), BM_SETCHECK, CheckStateOf(value), 0);
    }
}

void DataExchange::Check(int id, bool& value) {
    if (failed_) return;
    if (reading()) {
        Stage(value, SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else {
        SendMessageW(Item(id), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DataExchange::Radio(int firstId, int& index) {
    if (failed_) return;
    HWND first = Item(firstId);
    int checked = -1;
    int i = 0;
    for (HWND button = first; button; button = GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (GetWindowLongPtrW(button, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (reading()) {
            if (checked < 0 && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) checked = i;
        } else {
            SendMessageW(button, BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++i;
    }
    if (reading()) Stage(index, checked);
}

void DataExchange::DateTime(int id, std::int64_t& time) {
    if (failed_) return;
    HWND picker = Item(id);
    SYSTEMTIME local{};
    if (reading()) {
        const LRESULT state = SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local));
        std::int64_t read = -1;
        if (state == GDT_VALID && !TimeFromLocalSystemTime(local, read)) read = -1;
        Stage(time, read);
    } else if (time == -1 || !LocalSystemTimeFromTime(time, local)) {
        // Some pickers want a time even for "no date".
        local = SYSTEMTIME{};
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&local));
    } else {
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local));
    }
}

void DataExchange::Control(int id, Window& control) {
    if (failed_ || control.hwnd()) return;
    control.SubclassItem(dialog_, id);
}

bool DataExchange::Commit() {
    if (failed_) return false;
    for (auto& assign : pending_) assign();
    pending_.clear();
    return true;
}

}  // namespace rw
