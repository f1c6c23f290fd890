// The break alert: the fading pop-up with the product name, the message and the planned-break
// countdown, the achievement rating bar, "I am rested" and the suspend button for break-due
// reminders, and small open and close buttons drawn flat in the desktop's accent colour.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/shared/WindowServices.h"
#include "framework/Handles.h"
#include "ui/notify/NotificationAlertBase.h"
#include "kit/ControlsPlus.h"

namespace rw {

// What the alert reads of the main window: the reminders switch and the rating.
class AlertMainWindow {
public:
    virtual ~AlertMainWindow() = default;
    virtual bool RemindersEnabled() const = 0;  // the break reminders switch
    virtual float Rating() const = 0;
    virtual bool RatingRising() const = 0;
};

// The pop-up's background and text colours from the desktop's colorization colour.
void GetAccentColors(COLORREF& background, COLORREF& text);

// Where the accent colours come from; the tests give their own.
class AccentSources {
public:
    virtual ~AccentSources() = default;
    virtual bool VistaOrLater() = 0;
    // "ColorizationColor" under HKCU\Software\Microsoft\Windows\DWM, when it is a DWORD.
    virtual bool RegistryColorization(std::uint32_t& argb) = 0;
    // DwmGetColorizationColor.
    virtual bool DwmColorization(std::uint32_t& argb) = 0;
    virtual COLORREF SysColor(int index) = 0;
};
void GetAccentColors(AccentSources& sources, COLORREF& background, COLORREF& text);
AccentSources& SystemAccentSources();

class CdlgNotificationAlert : public CdlgNotificationAlertBase {
public:
    explicit CdlgNotificationAlert(const WindowServices& services);
    ~CdlgNotificationAlert() override;

    void SetMessageTexts(const std::wstring& message, const std::wstring& message2) override;
    void SetMessageIcon(HICON icon, int iconType) override;
    void RefreshContent() override;
    void OnEcoModeChanged() override;

    bool m_bBreakDue = false;
    int m_nPlannedMinutes = 0;
    std::uint32_t m_nSuspendCaptionId;
    COLORREF m_clrBack = 0;
    COLORREF m_clrText = 0;
    BrushOwner m_brushBack;
    const AlertMainWindow* m_pMain = nullptr;
    HFONT m_hTitleFont = nullptr;  // the main window's title font, borrowed (the bar's percentage)
    std::wstring m_strMessageText;
    std::wstring m_strPlannedText;
    nsHalden::CMFCMenuButtonPlus m_btnSuspend;

    // Where the colours come from (the system's by default).
    void SetAccentSources(AccentSources& sources) { accent_ = &sources; }

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void OnDpiChanged(int dpi) override;
    // The bold menu font at the DPI given, for the caption and the countdown.
    void SetCaptionFont(int dpi);
    void ExchangeData(DataExchange& exchange) override;

private:
    void OnRested();
    void OnSuspend();
    void OnOpen();
    void OnClose();
    LRESULT OnControlColor(HDC dc);
    LRESULT OnEraseBackground(HDC dc);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void DrawFlatButton(const DRAWITEMSTRUCT& item);
    void AddTooltip(int id);

    const WindowServices& services_;
    AccentSources* accent_;
    FontOwner boldFont_;
    IconOwner countdownIcon_;
    WindowOwner tooltip_;
};

}  // namespace rw
