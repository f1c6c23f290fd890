#include "framework/Dialog.h"

#include "framework/Application.h"

namespace rw {
namespace {

HINSTANCE ResourceInstance(HINSTANCE instance) {
    if (instance) return instance;
    if (const Application* app = Application::Current(); app && app->Instance()) return app->Instance();
    return GetModuleHandleW(nullptr);
}

// Messages whose result is the dialog procedure's return value instead of DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON: return true;
        default: return false;
    }
}

bool IsModifierHeld() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

// A control without a context-help id has its parent's, as Windows documents; Wine reports
// the control's own 0, so the lookup is done here for both.
DWORD InheritedContextId(const HELPINFO& info) {
    if (info.dwContextId != 0 || info.iContextType != HELPINFO_WINDOW) return static_cast<DWORD>(info.dwContextId);
    for (HWND w = static_cast<HWND>(info.hItemHandle); w; w = GetAncestor(w, GA_PARENT)) {
        if (const DWORD id = GetWindowContextHelpId(w)) return id;
        if (!(GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return 0;
}

}  // namespace

Dialog::~Dialog() {
    if (HWND hwnd = this->hwnd()) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        SetHandle(nullptr);
        DestroyWindow(hwnd);
    }
}

INT_PTR Dialog::RunModal(HWND parent, HINSTANCE instance) {
    modal_ = true;
    const INT_PTR result = DialogBoxParamW(ResourceInstance(instance), MAKEINTRESOURCEW(templateId_), parent,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool Dialog::Create(HWND parent, HINSTANCE instance) {
    modal_ = false;
    return CreateDialogParamW(ResourceInstance(instance), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
    if (hwnd()) DestroyWindow(hwnd());
}

void Dialog::End(INT_PTR result) {
    if (!hwnd()) return;
    if (modal_) {
        EndDialog(hwnd(), result);
    } else {
        ShowWindow(hwnd(), SW_HIDE);
    }
}

bool Dialog::UpdateData(Direction direction) {
    DataExchange exchange(hwnd(), direction, [this](const ExchangeFailure& failure) { OnExchangeFailure(failure); });
    ExchangeData(exchange);
    return exchange.Commit();
}

void Dialog::SetBackgroundColor(COLORREF color) {
    ownedBackground_.reset(CreateSolidBrush(color));
    background_ = ownedBackground_.get();
    backgroundColor_ = color;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void Dialog::SetBackgroundBrush(HBRUSH brush) {
    ownedBackground_.reset();
    background_ = brush;
    LOGBRUSH description{};
    if (brush && GetObjectW(brush, sizeof description, &description)) backgroundColor_ = description.lbColor;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

MessageResult Dialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog() == InitFocus::Default ? TRUE : FALSE;
        case WM_HELP:
            if (AnswerHelp(lParam, false)) return TRUE;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case IDOK: OnOK(); return 0;
                    case IDCANCEL: OnCancel(); return 0;
                }
            }
            break;
        case WM_CTLCOLORDLG:
            if (background_) return reinterpret_cast<LRESULT>(background_);
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColor(reinterpret_cast<HDC>(wParam));
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested) {
                SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                             suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            OnDpiChanged(HIWORD(wParam));
            return 0;
        }
    }
    return kNotHandled;
}

MessageResult Dialog::OnControlColor(HDC dc) {
    if (!background_) return kNotHandled;
    SetBkColor(dc, backgroundColor_);
    return reinterpret_cast<LRESULT>(background_);
}

bool Dialog::AnswerHelp(LPARAM helpInfo, bool answerAsChild) {
    Application* app = Application::Current();
    if (!app || IsModifierHeld()) return false;
    if (!answerAsChild && (GetWindowLongW(hwnd(), GWL_STYLE) & WS_CHILD)) return false;
    if (const auto* info = reinterpret_cast<const HELPINFO*>(helpInfo)) {
        app->ShowHelp(InheritedContextId(*info), HELP_CONTEXT);
    } else {
        app->ShowHelp(0, HELP_CONTENTS);
    }
    return true;
}

LRESULT Dialog::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    skipDefaultCall_ = message;
    const LRESULT result = DefDlgProcW(hwnd(), message, wParam, lParam);
    skipDefaultCall_.reset();  // in case DefDlgProc did not call back
    return result;
}

InitFocus Dialog::OnInitDialog() {
    UpdateData(Direction::ToControls);
    return InitFocus::Default;
}

void Dialog::OnOK() {
    if (UpdateData(Direction::FromControls)) End(IDOK);
}

void Dialog::OnCancel() {
    End(IDCANCEL);
}

void Dialog::ExchangeData(DataExchange&) {}

void Dialog::OnExchangeFailure(const ExchangeFailure& failure) {
    ShowExchangeFailure(hwnd(), failure);
}

Dialog* Dialog::FromHandle(HWND hwnd) {
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lParam) : FromHandle(hwnd);
    return HandleDialogMessage(dialog, hwnd, message, wParam, lParam);
}

INT_PTR Dialog::HandleDialogMessage(Dialog* dialog, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        dialog->SetHandle(hwnd);
    }
    if (const std::optional<UINT> skip = std::exchange(dialog->skipDefaultCall_, std::nullopt); skip == message) {
        return FALSE;
    }
    // The exception barrier of the dialog and page procedures: only the class's handlers can
    // throw, and the link is still dropped on WM_NCDESTROY when they do.
    const MessageResult result =
        Guarded<MessageResult>(kNotHandled, [&] { return dialog->Route(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        // The window is gone: no more messages reach the object.
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->SetHandle(nullptr);
        return FALSE;
    }
    if (!result) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(*result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

}  // namespace rw
