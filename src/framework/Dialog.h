// The dialog base: a dialog from a template id, run modally or created modeless. `this`
// travels in the dialog's create parameter and is kept in DWLP_USER; the dialog procedure
// hands every message to the class's Route:
//
//     rw::MessageResult CdlgExample::Route(UINT message, WPARAM wParam, LPARAM lParam) {
//         switch (message) {
//             case WM_TIMER: OnTimer(wParam); return 0;
//             case WM_COMMAND:
//                 switch (LOWORD(wParam)) {
//                     case IDC_REFRESH: OnCommandRefresh(); return 0;
//                 }
//                 break;
//         }
//         return Dialog::Route(message, wParam, lParam);
//     }
//
// The base routes WM_INITDIALOG to OnInitDialog, IDOK and IDCANCEL to OnOK and OnCancel, F1
// (WM_HELP) to the application's ShowHelp, and paints the background colour. A result for
// WM_NOTIFY and the like goes into DWLP_MSGRESULT; the messages whose result is the dialog
// procedure's own return value get it that way.
#pragma once
#include <windows.h>

#include <optional>

#include "framework/DataExchange.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace rw {

enum class InitFocus {
    Default,  // the dialog gives the focus to its first control
    Set,      // the handler set the focus itself
};

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    // A modeless dialog still open is destroyed here, without the derived class's handlers
    // (they are gone by now): destroy it explicitly where those matter.
    ~Dialog() override;

    // Runs the dialog modally; returns the value it was ended with, -1 when it could not be
    // created.
    INT_PTR RunModal(HWND parent = nullptr, HINSTANCE instance = nullptr);
    // Creates the dialog modeless (shown only when the template says WS_VISIBLE).
    bool Create(HWND parent = nullptr, HINSTANCE instance = nullptr);
    void Destroy();
    // Ends the dialog: a modal one returns result from RunModal, a modeless one is hidden.
    void End(INT_PTR result);

    bool IsModal() const { return modal_; }
    UINT TemplateId() const { return templateId_; }

    // Runs ExchangeData in the direction given; false when reading failed.
    bool UpdateData(Direction direction);

    // The dialog's background, and that of its static texts and buttons. The colour form
    // owns its brush; the brush form borrows one that outlives the dialog.
    void SetBackgroundColor(COLORREF color);
    void SetBackgroundBrush(HBRUSH brush);

protected:
    MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Default processing is DefDlgProc's own handling of the message, for handlers that run
    // it first and then add to it (draw over the erased background, say).
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) override;

    // F1: the application's ShowHelp with the context id of the window that asked
    // (HELP_CONTEXT), or the help root (0, HELP_CONTENTS) when no help information came.
    // False, leaving F1 to the default handling (which hands it to the parent), without an
    // application object, with Shift, Ctrl or Alt held, and in a dialog that is a child
    // window unless answerAsChild.
    bool AnswerHelp(LPARAM helpInfo, bool answerAsChild);

    // The members into the controls.
    virtual InitFocus OnInitDialog();
    // Reads the controls; ends the dialog with IDOK when that succeeded.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // The class's bindings of members to controls (see DataExchange).
    virtual void ExchangeData(DataExchange& exchange);
    // WM_DPICHANGED, after the window took the size and place the system suggested (the
    // dialog manager scales the controls and their fonts): what the class draws or made
    // itself follows the new DPI here.
    virtual void OnDpiChanged(int /*dpi*/) {}
    // The error hook of the class's exchanges: a binding refused its control. By default the
    // prompt in a message box titled with the application's name.
    virtual void OnExchangeFailure(const ExchangeFailure& failure);

    // The dialog procedure's work, shared with the property pages, whose create parameter
    // points to their PROPSHEETPAGE. It holds the exception barrier of both procedures.
    static INT_PTR HandleDialogMessage(Dialog* dialog, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static Dialog* FromHandle(HWND hwnd);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    MessageResult OnControlColor(HDC dc);

    UINT templateId_;
    bool modal_ = false;
    HBRUSH background_ = nullptr;
    BrushOwner ownedBackground_;
    COLORREF backgroundColor_ = 0;
    // DefDlgProc, called by DefaultProcessing, first calls the dialog procedure with the same
    // message: that one call must not be routed again. Set just before DefDlgProc and taken
    // by the first call that arrives, so an identical message sent while the default runs is
    // routed as usual.
    std::optional<UINT> skipDefaultCall_;
};

}  // namespace rw
