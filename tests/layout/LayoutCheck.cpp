// Creates every dialog of the program from its template in each of its languages, puts in the
// texts the program puts in at run time, and measures each text with its control's own font:
// a text that does not fit its control, a control that overlaps its neighbour or leaves the
// window is printed as one line, "FAIL <language> <dpi> <dialog> <control id> "<text>": why".
//
//     layout_check.exe [--lengthen LANGUAGE PERCENT]
//
// --lengthen makes every text of one language that much longer before it is measured, to see
// the check find what no longer fits. Exit code 1 when anything did not fit.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct Language {
    LANGID id;
    const char* name;
};
const Language kLanguages[] = {{0x0409, "en"}, {0x0407, "de"}, {0x040C, "fr"}, {0x0501, "qps-ploc"}};

// A text the program puts into a control: a string of the table with sample inserts.
struct RunTimeText {
    int control;
    UINT string;
    std::vector<const wchar_t*> inserts;  // numbers are written as text: %1!d! is formatted as %1
    bool append = false;                  // after the template's own text
};

struct Dialog {
    UINT id;
    const char* name;
    std::vector<RunTimeText> texts;
    std::vector<int> show;             // controls the program shows in this state
    std::vector<int> hide;             // and those it hides
    std::vector<int> smallIcons = {};  // icons the program shows at the small icon size
};

const wchar_t* const kTitle = L"Lunch";

std::vector<Dialog> Dialogs() {
    const std::vector<RunTimeText> mainTexts = {
        {IDC_DESCRIPTION, IDS_DESCRIPTION_ON, {L"5", L"55"}},
        {IDC_DESCRIPTION, IDS_DESCRIPTION_OFF, {}},
        {IDC_PLANNED_TEXT, IDS_PLANNED_IN_DAYS, {L"12:30", kTitle, L"6"}},
        {IDC_PLANNED_TEXT, IDS_PLANNED_TOMORROW, {L"12:30", kTitle}},
        {IDC_PLANNED_TEXT, IDS_PLANNED_NONE, {}},
        {IDC_STATUS_TEXT, IDS_STATUS_BREAK_DUE, {L"120"}},
        {IDC_STATUS_TEXT, IDS_STATUS_WORKING, {L"120"}},
        {IDC_STATUS_TEXT, IDS_STATUS_RESTING, {}},
        {IDC_RATING_TITLE, IDS_RATING_TITLE_ON, {}},
        {IDC_RATING_TITLE, IDS_RATING_TITLE_OFF, {}},
    };
    const std::vector<RunTimeText> alertTexts = {
        {IDC_ALERT_CAPTION, IDS_MAIN_CAPTION, {L"Quillfen", L"Restwell"}},
        {IDC_ALERT_MESSAGE, IDS_BREAK_REMINDER, {L"120", L"30"}},
        {IDC_ALERT_MESSAGE, IDS_STATUS_BREAK_DUE, {L"120"}},
        {IDC_ALERT_COUNTDOWN_TEXT, IDS_PLANNED_MINUTES, {kTitle, L"59"}},
        {IDC_ALERT_SUSPEND, IDS_SUSPEND_UNTIL_PLANNED, {}},
        {IDC_ALERT_SUSPEND, IDS_SUSPEND_15, {}},
        {IDC_ALERT_NOT_RATED, IDS_RATING_TITLE_OFF, {}},
    };
    const std::vector<RunTimeText> breaksTexts = {
        {IDC_DESCRIPTION, IDS_DESCRIPTION_ON, {L"30", L"120"}},
        {IDC_DESCRIPTION, IDS_DESCRIPTION_OFF, {}},
        {IDC_PLANNED_HINT, IDS_PLANNED_EXAMPLES, {}, true},
    };
    const std::vector<RunTimeText> aboutTexts = {
        {IDC_ABOUT_TEXT,
         IDS_ABOUT_TEXT,
         {L"2.1.0.13021", L"Copyright © 2009-2026 Quillfen Ltd.", L"http://127.0.0.1:8321/products/Restwell/"}},
    };
    return {
        {IDD_MAIN, "IDD_MAIN", mainTexts, {}, {}},
        {IDD_MAIN, "IDD_MAIN (news and upgrade)", {}, {IDC_NEWS, IDC_UPGRADE}, {}},
        {IDD_NOTIFICATION_ALERT,
         "IDD_NOTIFICATION_ALERT",
         alertTexts,
         {},
         {},
         {IDC_ALERT_COUNTDOWN_ICON, IDC_STATUS_ICON}},
        {IDD_NOTIFICATION_ALERT,
         "IDD_NOTIFICATION_ALERT (not rated)",
         {},
         {IDC_ALERT_NOT_RATED},
         {IDC_RATING_BAR},
         {IDC_ALERT_COUNTDOWN_ICON, IDC_STATUS_ICON}},
        {IDD_OPT_GENERAL, "IDD_OPT_GENERAL", {}, {}, {}},
        {IDD_OPT_COMMERCIAL, "IDD_OPT_COMMERCIAL", {}, {}, {}},
        {IDD_OPT_COMPATIBILITY, "IDD_OPT_COMPATIBILITY", {}, {}, {}},
        {IDD_WIZARD_BREAKS, "IDD_WIZARD_BREAKS", breaksTexts, {}, {}},
        {IDD_WIZARD_BREAKS,
         "IDD_WIZARD_BREAKS (planned breaks)",
         {},
         {IDC_PLANNED_LABEL, IDC_PLANNED_LIST, IDC_PLANNED_ADD, IDC_PLANNED_EDIT, IDC_PLANNED_DELETE},
         {IDC_PLANNED_HINT, IDC_PLANNED_SHOW}},
        {IDD_WELCOME_START, "IDD_WELCOME_START", {}, {}, {}},
        {IDD_WELCOME_FINISH, "IDD_WELCOME_FINISH", {}, {}, {}},
        {IDD_BREAK_TIMED, "IDD_BREAK_TIMED", {}, {}, {}},
        {IDD_ABOUT, "IDD_ABOUT", aboutTexts, {}, {}},
        {IDD_NEWS, "IDD_NEWS", {}, {}, {}},
    };
}

// A string of the table in exactly this language (none: empty).
std::wstring StringIn(LANGID language, UINT id) {
    HRSRC found = FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return {};
    const auto* p = static_cast<const WCHAR*>(LockResource(LoadResource(nullptr, found)));
    if (!p) return {};
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    return std::wstring(p + 1, *p);
}

// FormatMessage's inserts, all given as text: "%1!d!" takes "55" like "%1" does.
std::wstring Format(std::wstring pattern, const std::vector<const wchar_t*>& inserts) {
    for (size_t at = pattern.find(L'!'); at != std::wstring::npos; at = pattern.find(L'!', at)) {
        const size_t end = pattern.find(L'!', at + 1);
        if (end == std::wstring::npos || at == 0 || !iswdigit(pattern[at - 1])) break;
        pattern.erase(at, end - at + 1);
    }
    if (inserts.empty()) return pattern;
    std::vector<DWORD_PTR> args;
    for (const wchar_t* insert : inserts) args.push_back(reinterpret_cast<DWORD_PTR>(insert));
    wchar_t* out = nullptr;
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                        pattern.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&out), 0,
                        reinterpret_cast<va_list*>(args.data()))) {
        return pattern;
    }
    std::wstring text(out);
    LocalFree(out);
    return text;
}

std::string Utf8(const std::wstring& text) {
    std::string out(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return out;
}

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = L"";
    GetClassNameW(control, name, 64);
    return name;
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// What a SysLink shows: its text without the link tags.
std::wstring WithoutLinkTags(std::wstring text) {
    for (const wchar_t* tag : {L"<a>", L"</a>"}) {
        for (size_t at = text.find(tag); at != std::wstring::npos; at = text.find(tag)) text.erase(at, wcslen(tag));
    }
    return text;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class Checker {
public:
    Checker(HWND parent, int dpi, const char* lengthened, int percent)
        : parent_(parent), dpi_(dpi), lengthened_(lengthened), percent_(percent) {}

    int failures = 0;

    void Check(const Language& language, const Dialog& dialog) {
        HRSRC found = FindResourceExW(nullptr, RT_DIALOG, MAKEINTRESOURCEW(dialog.id), language.id);
        if (!found) {
            Fail(language, dialog, 0, L"", "the dialog does not exist in this language");
            return;
        }
        const auto* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
        HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tmpl, parent_, QuietDialog, 0);
        if (!window) {
            Fail(language, dialog, 0, L"", "the dialog could not be created");
            return;
        }
        for (int id : dialog.show) ShowWindow(GetDlgItem(window, id), SW_SHOWNA);
        for (int id : dialog.hide) ShowWindow(GetDlgItem(window, id), SW_HIDE);
        for (int id : dialog.smallIcons) {
            const int size = GetSystemMetrics(SM_CXSMICON);
            SendDlgItemMessageW(
                window, id, STM_SETICON,
                reinterpret_cast<WPARAM>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLANNED),
                                                    IMAGE_ICON, size, size, LR_SHARED)),
                0);
        }
        const bool lengthen = lengthened_ && strcmp(lengthened_, language.name) == 0;
        std::vector<HWND> controls;
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) controls.push_back(c);
        }
        for (HWND c : controls) {
            if (lengthen) SetWindowTextW(c, Lengthened(TextOf(c)).c_str());
            Measure(language, dialog, c);
        }
        for (const RunTimeText& t : dialog.texts) {
            HWND c = GetDlgItem(window, t.control);
            std::wstring text = Format(StringIn(language.id, t.string), t.inserts);
            if (t.append) text = TextOf(c) + text;
            if (lengthen) text = Lengthened(text);
            SetWindowTextW(c, text.c_str());
            Measure(language, dialog, c);
        }
        CheckPlaces(language, dialog, window, controls);
        DestroyWindow(window);
    }

private:
    HWND parent_;
    int dpi_;
    const char* lengthened_;
    int percent_;

    int Px(int at96) const { return MulDiv(at96, dpi_, 96); }

    std::wstring Lengthened(const std::wstring& text) const {
        if (text.empty()) return text;
        std::wstring longer = text;
        const size_t extra = (text.size() * static_cast<size_t>(percent_) + 99) / 100;
        for (size_t i = 0; longer.size() < text.size() + extra; ++i) longer += text[i % text.size()];
        return longer;
    }

    void Fail(const Language& language, const Dialog& dialog, int id, const std::wstring& text,
              const std::string& why) {
        ++failures;
        printf("FAIL %s %d %s %d \"%s\": %s\n", language.name, dpi_, dialog.name, id, Utf8(text).c_str(), why.c_str());
    }

    // The room a control gives its text, and how DrawText lays the text out there.
    void Measure(const Language& language, const Dialog& dialog, HWND control) {
        const std::wstring cls = ClassOf(control);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        RECT client{};
        GetClientRect(control, &client);
        int width = client.right, height = client.bottom;
        UINT flags = DT_CALCRECT | DT_EXPANDTABS;
        std::wstring text = TextOf(control);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
                type != SS_SIMPLE) {
                return;  // pictures, frames, owner-drawn
            }
            const bool oneLine =
                type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || (style & SS_CENTERIMAGE) || (style & SS_ENDELLIPSIS);
            flags |= oneLine ? DT_SINGLELINE : DT_WORDBREAK;
            if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_OWNERDRAW || (style & (BS_ICON | BS_BITMAP))) return;
            if (type == BS_GROUPBOX) {
                width -= Px(16);  // the caption sits in the frame's top line, inset at both ends
                flags |= DT_SINGLELINE;
            } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                width -= Px(8);
                height -= Px(4);
                flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
            } else {
                width -= Px(13) + Px(5);  // the box and the gap after it
                flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
            }
        } else if (_wcsicmp(cls.c_str(), L"SysLink") == 0) {
            text = WithoutLinkTags(text);
            flags |= DT_WORDBREAK | DT_NOPREFIX;
        } else {
            return;
        }
        if (text.empty()) return;
        HDC dc = GetDC(control);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        RECT needed{0, 0, width, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, flags);
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
        if (needed.right > width || needed.bottom > height) {
            char why[128];
            snprintf(why, sizeof why, "text needs %ldx%ld px, the control gives it %dx%d", needed.right, needed.bottom,
                     width, height);
            Fail(language, dialog, GetDlgCtrlID(control), text, why);
        }
    }

    static bool Contains(const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    }

    static bool IsFrame(HWND control) {
        const std::wstring cls = ClassOf(control);
        return (_wcsicmp(cls.c_str(), L"Button") == 0 &&
                (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) ||
               cls == WC_TABCONTROLW;
    }

    static bool IsBuddyOf(HWND arrows, HWND field) {
        return ClassOf(arrows) == UPDOWN_CLASSW &&
               reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)) == field;
    }

    void CheckPlaces(const Language& language, const Dialog& dialog, HWND window, const std::vector<HWND>& controls) {
        RECT area{};
        GetClientRect(window, &area);
        std::vector<RECT> places;
        for (HWND c : controls) {
            RECT r{};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            places.push_back(r);
            // Dialog units round per coordinate: a control flush with the window's edge may
            // end a pixel past it.
            RECT rounded = area;
            InflateRect(&rounded, 1, 1);
            if (!Contains(rounded, r))
                Fail(language, dialog, GetDlgCtrlID(c), TextOf(c), "the control leaves the window");
        }
        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j) {
                RECT both{};
                if (!IntersectRect(&both, &places[i], &places[j])) continue;
                if ((IsFrame(controls[i]) && Contains(places[i], places[j])) ||
                    (IsFrame(controls[j]) && Contains(places[j], places[i]))) {
                    continue;  // inside its group box or tab control
                }
                if (IsBuddyOf(controls[i], controls[j]) || IsBuddyOf(controls[j], controls[i])) {
                    continue;  // an up-down control sits on its field's edge
                }
                char why[128];
                snprintf(why, sizeof why, "overlaps control %d by %ldx%ld px", GetDlgCtrlID(controls[j]),
                         both.right - both.left, both.bottom - both.top);
                Fail(language, dialog, GetDlgCtrlID(controls[i]), TextOf(controls[i]), why);
            }
        }
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const char* lengthened = nullptr;
    int percent = 0;
    static char language[16] = "";
    if (argc == 4 && wcscmp(argv[1], L"--lengthen") == 0) {
        WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, language, sizeof language, nullptr, nullptr);
        lengthened = language;
        percent = _wtoi(argv[3]);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr, nullptr, nullptr);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Checker checker(parent, dpi, lengthened, percent);
    int dialogs = 0;
    for (const Language& l : kLanguages) {
        for (const Dialog& d : Dialogs()) {
            checker.Check(l, d);
            ++dialogs;
        }
    }
    DestroyWindow(parent);
    printf("layout: %d dialogs at %d dpi, %d problems\n", dialogs, dpi, checker.failures);
    return checker.failures ? 1 : 0;
}
