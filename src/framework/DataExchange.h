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
// Reading is all or nothing: values read from the controls are kept aside and given to the
// members only when every binding succeeded. A binding that fails (a field that is not an
// integer of the member's range) shows the prompt, focuses its control and ends the
// exchange; the members keep the values they had.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rw {

class Window;

enum class Direction { ToControls, FromControls };

class DataExchange {
public:
    DataExchange(HWND dialog, Direction direction) : dialog_(dialog), direction_(direction) {}
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
    void Fail(int id, UINT promptId);
    template <typename T>
    void Stage(T& member, T value) {
        pending_.push_back([&member, value] { member = value; });
    }
    template <typename T>
    void Integer(int id, T& value);

    HWND dialog_;
    Direction direction_;
    bool failed_ = false;
    int failedControl_ = 0;
    std::vector<std::function<void()>> pending_;
};

// Sets a window's text only when it differs, so that writing the members into the controls
// does not send change notifications (and repaint) for texts that stay the same.
void SetTextIfChanged(HWND hwnd, const std::wstring& text);

}  // namespace rw
