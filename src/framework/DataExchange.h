// Typed data exchange between a dialog's members and its controls. A dialog lists its
// bindings once, in its ExchangeData, and the same list runs in both directions:
//
//     void ExchangeData(rw::DataExchange& dx) override {
//         dx.Control(IDC_WORK_SLIDER, m_sliderWork);
//         dx.Int16(IDC_WORK_MINUTES, m_nWorkMinutes);
//         dx.Text(IDC_SUMMARY, m_strSummary);
//         dx.Check(IDC_ENABLE, m_bEnable);
//     }
//
//         dx.Int16(IDC_REST_MINUTES, m_nRestMinutes, 3, 30);
//
// Reading is all or nothing: values read from the controls are kept aside and given to the
// members only when every binding succeeded. A binding that fails (a field that is not an
// integer of the member's type, or not within the range given) is reported to the error hook
// (by default a message box with the prompt), gets the focus and ends the exchange; the
// members keep the values they had.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rw {

// The framework's prompts, by the string-table numbers the program's table gives their texts.
constexpr unsigned kPromptEnterInteger = 61712;       // "Enter an integer."
constexpr unsigned kPromptEnterIntegerRange = 61715;  // with the range as %1!d! and %2!d!

class Window;

enum class Direction { ToControls, FromControls };

// A binding that refused its control's contents: the control and the prompt for the user.
struct ExchangeFailure {
    int control;
    std::wstring prompt;
};
using ExchangeErrorHook = std::function<void(const ExchangeFailure&)>;

class DataExchange {
public:
    // Without a hook a failure shows its prompt in a message box owned by the dialog.
    DataExchange(HWND dialog, Direction direction, ExchangeErrorHook onError = {})
        : dialog_(dialog), direction_(direction), onError_(std::move(onError)) {}
    DataExchange(const DataExchange&) = delete;
    DataExchange& operator=(const DataExchange&) = delete;

    Direction direction() const { return direction_; }
    bool reading() const { return direction_ == Direction::FromControls; }
    bool failed() const { return failed_; }
    int failedControl() const { return failedControl_; }

    // The control's whole text.
    void Text(int id, std::wstring& value);
    // Decimal integers; reading refuses anything that is not an integer of the type's range.
    void Int16(int id, std::int16_t& value);
    void Int32(int id, std::int32_t& value);
    // The same, refusing integers outside min … max as well ("Enter an integer between …").
    void Int16(int id, std::int16_t& value, std::int16_t min, std::int16_t max);
    void Int32(int id, std::int32_t& value, std::int32_t min, std::int32_t max);
    // Check boxes: 1 checked, 0 unchecked, 2 indeterminate (three-state boxes).
    void Check(int id, int& value);
    void Check(int id, bool& value);
    // A radio group: the button firstId and the buttons after it up to the next group. The
    // value is the index of the checked button, -1 for none.
    void Radio(int firstId, int& index);
    // A date-time picker and a calendar time (seconds since 1970 UTC), shown in local time;
    // -1 stands for "no date" (a picker with a check box, cleared).
    void DateTime(int id, std::int64_t& time);
    // Subclasses the control into its wrapper on the first exchange.
    void Control(int id, Window& control);

    // Hands the values read to the members, unless a binding failed. Returns success.
    bool Commit();

private:
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    void Fail(int id, std::wstring prompt);
    template <typename T>
    void Stage(T& member, T value) {
        pending_.push_back([&member, value] { member = value; });
    }
    template <typename T>
    void Integer(int id, T& value, T min, T max);

    HWND dialog_;
    Direction direction_;
    ExchangeErrorHook onError_;
    bool failed_ = false;
    int failedControl_ = 0;
    std::vector<std::function<void()>> pending_;
};

// The default error hook: the prompt in a message box owned by the dialog and titled with
// the application's name.
void ShowExchangeFailure(HWND dialog, const ExchangeFailure& failure);

// Sets a window's text only when it differs, so that writing the members into the controls
// does not send change notifications (and repaint) for texts that stay the same.
void SetTextIfChanged(HWND hwnd, const std::wstring& text);

}  // namespace rw
