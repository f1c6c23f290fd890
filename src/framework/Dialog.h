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
// The base routes WM_INITDIALOG to OnInitDialog, IDOK and IDCANCEL to OnOK and OnCancel, and
// paints the background colour. A result for WM_NOTIFY and the like goes into DWLP_MSGRESULT;
// the messages whose result is the dialog procedure's own return value get it that way.
#pragma once
#include <windows.h>

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
    // Default processing is DefDlgProc's own handling of the message.
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The members into the controls.
    virtual InitFocus OnInitDialog();
    // Reads the controls; ends the dialog with IDOK when that succeeded.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // The class's bindings of members to controls (see DataExchange).
    virtual void ExchangeData(DataExchange& exchange);

    // The dialog procedure's work, shared with the property pages, whose create parameter
    // points to their PROPSHEETPAGE.
    static INT_PTR HandleDialogMessage(Dialog* dialog, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static Dialog* FromHandle(HWND hwnd);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    MessageResult OnControlColor(HDC dc);

    UINT templateId_;
    bool modal_ = false;
    HBRUSH background_ = nullptr;
    BrushOwner ownedBackground_;
    COLORREF backgroundColor_ = 0;
    // The message DefaultProcessing is handing to DefDlgProc, which calls the dialog
    // procedure again with it: that call must not be routed a second time.
    struct PendingDefault {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const PendingDefault* pendingDefault_ = nullptr;
};

}  // namespace rw
