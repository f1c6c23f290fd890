#include "ui/notify/NotificationAlert.h"

#include "framework/Dpi.h"

#include <commctrl.h>
#include <dwmapi.h>

#include "core/ResourceString.h"
#include "ui/notify/NotifyRules.h"
#include "res/resource.h"

namespace rw {

// Accent colours ------------------------------------------------------------------------

namespace {

class SystemAccent final : public AccentSources {
public:
    bool VistaOrLater() override {
        OSVERSIONINFOW os{};
        os.dwOSVersionInfoSize = sizeof os;
        return GetVersionExW(&os) && os.dwMajorVersion >= 6;
    }
    bool RegistryColorization(std::uint32_t& argb) override {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\DWM", L"ColorizationColor",
                         RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
            return false;
        }
        argb = value;
        return true;
    }
    bool DwmColorization(std::uint32_t& argb) override {
        // Loaded on first use: the desktop window manager may not be there.
        using GetColorization = HRESULT(WINAPI*)(DWORD*, BOOL*);
        static const GetColorization get = [] {
            HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
            return dwm ? reinterpret_cast<GetColorization>(
                             reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetColorizationColor")))
                       : nullptr;
        }();
        DWORD color = 0;
        BOOL opaque = FALSE;
        if (!get || FAILED(get(&color, &opaque))) return false;
        argb = color;
        return true;
    }
    COLORREF SysColor(int index) override { return GetSysColor(index); }
};

}  // namespace

AccentSources& SystemAccentSources() {
    static SystemAccent sources;
    return sources;
}

void GetAccentColors(AccentSources& sources, COLORREF& background, COLORREF& text) {
    std::uint32_t argb = 0;
    if (sources.VistaOrLater() && (sources.RegistryColorization(argb) || sources.DwmColorization(argb))) {
        const AccentColors colors = AccentFromColorization(argb);
        background = colors.background;
        text = colors.text;
        return;
    }
    background = sources.SysColor(COLOR_ACTIVECAPTION);
    text = sources.SysColor(COLOR_CAPTIONTEXT);
}

void GetAccentColors(COLORREF& background, COLORREF& text) {
    GetAccentColors(SystemAccentSources(), background, text);
}

// The alert ------------------------------------------------------------------------------

CdlgNotificationAlert::CdlgNotificationAlert(const WindowServices& services)
    : CdlgNotificationAlertBase(IDD_NOTIFICATION_ALERT),
      m_nSuspendCaptionId(IDS_SUSPEND_15),
      services_(services),
      accent_(&SystemAccentSources()) {}

CdlgNotificationAlert::~CdlgNotificationAlert() {
    // The window goes while the handlers and the brush it uses still exist.
    Destroy();
}

void CdlgNotificationAlert::ExchangeData(DataExchange& exchange) {
    exchange.Text(IDC_ALERT_MESSAGE, m_strMessageText);
    exchange.Text(IDC_ALERT_COUNTDOWN_TEXT, m_strPlannedText);
}

InitFocus CdlgNotificationAlert::OnInitDialog() {
    CdlgNotificationAlertBase::OnInitDialog();
    SetItemText(IDC_ALERT_NOT_RATED, ResourceText(IDS_RATING_TITLE_OFF));
    SetCaptionFont(rw::WindowDpi(hwnd()));
    // The countdown's picture at the small-icon size, so it stays clear of its text.
    countdownIcon_.reset(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLANNED), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    if (countdownIcon_) {
        SendMessageW(Item(IDC_ALERT_COUNTDOWN_ICON), STM_SETICON, reinterpret_cast<WPARAM>(countdownIcon_.get()), 0);
    }
    // A click on the face takes the caption's command; only the arrow part opens the menu.
    m_btnSuspend.SetDefaultClick(true);
    m_btnSuspend.SetRightArrow(false);
    m_btnSuspend.SetStayPressed(false);
    m_btnSuspend.Subclass(Item(IDC_ALERT_SUSPEND));
    m_btnSuspend.LoadDropDownMenu(GetModuleHandleW(nullptr), IDR_MENU_SUSPEND);
    AddTooltip(IDC_ALERT_OPEN);
    AddTooltip(IDC_ALERT_CLOSE);
    // No control takes the focus: the pop-up never takes it from the user's window.
    return InitFocus::Set;
}

void CdlgNotificationAlert::SetCaptionFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    if (!rw::NonClientMetricsAt(dpi, metrics)) return;
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    FontOwner bold(CreateFontIndirectW(&metrics.lfMenuFont));
    if (!bold) return;
    for (int id : {IDC_ALERT_CAPTION, IDC_ALERT_COUNTDOWN_TEXT}) {
        SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold.get()), TRUE);
    }
    boldFont_ = std::move(bold);  // the old one goes once the controls have let go of it
}

void CdlgNotificationAlert::OnDpiChanged(int dpi) {
    SetCaptionFont(dpi);
    CdlgNotificationAlertBase::OnDpiChanged(dpi);
}

void CdlgNotificationAlert::AddTooltip(int id) {
    // The flat buttons' template texts are their tooltips.
    if (!tooltip_) {
        tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, nullptr, nullptr));
    }
    if (!tooltip_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    std::wstring text = ItemText(id);
    tool.lpszText = text.data();
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CdlgNotificationAlert::SetMessageTexts(const std::wstring& message, const std::wstring& message2) {
    m_strMessageText = message;
    m_strPlannedText = message2;
    ShowItem(IDC_ALERT_COUNTDOWN_ICON, !message2.empty());
    UpdateData(Direction::ToControls);
}

void CdlgNotificationAlert::SetMessageIcon(HICON icon, int) {
    SendMessageW(Item(IDC_STATUS_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void CdlgNotificationAlert::RefreshContent() {
    if (!hwnd()) return;
    SetItemText(IDC_ALERT_CAPTION, services_.fullName);
    for (int id : {IDC_ALERT_RESTED, IDC_ALERT_SUSPEND}) {
        if (HWND control = Item(id)) {
            EnableWindow(control, m_bBreakDue);
            ShowWindow(control, m_bBreakDue ? SW_SHOW : SW_HIDE);
        }
    }
    ShowItem(IDC_ALERT_NOT_RATED, m_pMain && !m_pMain->RemindersEnabled());

    if (HMENU menu = m_btnSuspend.DropDown()) {
        EnableMenuItem(menu, ID_SUSPEND_UNTIL_PLANNED,
                       MF_BYCOMMAND | (SuspendUntilPlannedEnabled(m_nPlannedMinutes) ? MF_ENABLED : MF_GRAYED));
    }
    m_nSuspendCaptionId = SuspendCaptionId(m_nPlannedMinutes);
    m_btnSuspend.SetCaption(ResourceText(m_nSuspendCaptionId));

    GetAccentColors(*accent_, m_clrBack, m_clrText);
    SetBackgroundColor(m_clrBack);
    m_brushBack.reset(CreateSolidBrush(m_clrBack));
    for (int id : {IDC_ALERT_OPEN, IDC_ALERT_CLOSE}) InvalidateRect(Item(id), nullptr, TRUE);

    if (IsWindowVisible(hwnd())) {
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

void CdlgNotificationAlert::OnEcoModeChanged() {
    if (!hwnd()) return;
    RedrawWindow(Item(IDC_RATING_BAR), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (IsWindowVisible(hwnd())) {
        RedrawWindow(Item(IDC_ALERT_NOT_RATED), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CdlgNotificationAlert::OnRested() {
    PostCommand(ID_I_AM_RESTED);
    End(1);
}

void CdlgNotificationAlert::OnSuspend() {
    PostCommand(SuspendButtonCommand(m_btnSuspend.MenuResult(), m_nSuspendCaptionId));
    End(1);
}

void CdlgNotificationAlert::OnOpen() {
    PostCommand(ID_OPEN_MAIN);
}

void CdlgNotificationAlert::OnClose() {
    ShowWindow(hwnd(), SW_HIDE);
}

LRESULT CdlgNotificationAlert::OnControlColor(HDC dc) {
    SetTextColor(dc, m_clrText);
    SetBkColor(dc, m_clrBack);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(m_brushBack.get());
}

LRESULT CdlgNotificationAlert::OnEraseBackground(HDC dc) {
    const LRESULT result = DefaultProcessing(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT frame{};
    GetClientRect(hwnd(), &frame);
    BrushOwner brush(CreateSolidBrush(m_clrText));
    for (int i = 0; i < 3; ++i) {
        FrameRect(dc, &frame, brush.get());
        InflateRect(&frame, -1, -1);
    }
    return result;
}

void CdlgNotificationAlert::DrawFlatButton(const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    const int size = std::min(r.right - r.left, r.bottom - r.top) * 3 / 5;
    const int left = (r.left + r.right - size) / 2;
    const int top = (r.top + r.bottom - size) / 2;
    const int width = std::max(1, size / 7);
    PenOwner pen(CreatePen(PS_SOLID, width, WhiteGlyphs(m_clrText) ? RGB(255, 255, 255) : RGB(0, 0, 0)));
    SelectionGuard selectPen(item.hDC, pen.get());
    SelectionGuard selectBrush(item.hDC, GetStockObject(NULL_BRUSH));
    if (item.CtlID == IDC_ALERT_CLOSE) {
        MoveToEx(item.hDC, left, top, nullptr);
        LineTo(item.hDC, left + size, top + size);
        MoveToEx(item.hDC, left + size - 1, top, nullptr);
        LineTo(item.hDC, left - 1, top + size);
    } else {
        // The maximise glyph: a box with a heavy top edge.
        Rectangle(item.hDC, left, top, left + size, top + size);
        MoveToEx(item.hDC, left, top + width, nullptr);
        LineTo(item.hDC, left + size, top + width);
    }
}

void CdlgNotificationAlert::OnDrawItem(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, m_brushBack.get());
    if (item.CtlID == IDC_RATING_BAR) {
        if (!m_pMain) return;
        services_.DrawAchievementBar(item.hDC, item.rcItem, m_pMain->RemindersEnabled(), m_pMain->Rating(),
                                     m_pMain->RatingRising(), m_hTitleFont);
        BrushOwner frame(CreateSolidBrush(m_clrText));
        FrameRect(item.hDC, &item.rcItem, frame.get());
    } else if (item.CtlID == IDC_ALERT_OPEN || item.CtlID == IDC_ALERT_CLOSE) {
        DrawFlatButton(item);
    }
}

rw::MessageResult CdlgNotificationAlert::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case IDC_ALERT_RESTED: OnRested(); return 0;
                    case IDC_ALERT_SUSPEND: OnSuspend(); return 0;
                    case IDC_ALERT_CLOSE: OnClose(); return 0;
                    case IDC_ALERT_OPEN: OnOpen(); return 0;
                }
            }
            break;
        case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (m_brushBack) return OnControlColor(reinterpret_cast<HDC>(wParam));
            break;
        case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    }
    return CdlgNotificationAlertBase::Route(message, wParam, lParam);
}

}  // namespace rw
