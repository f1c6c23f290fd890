// probe: looks at and pokes the windows of a running program, for the end-to-end tests.
//   probe windows [pid]              top-level windows: hwnd pid visible enabled "class" "title"
//   probe find <title> [class]       hwnd of the first top-level window with that title
//   probe controls <hwnd>            child windows: id hwnd visible enabled "class" "text"
//   probe text <hwnd> <id>           text of a control
//   probe click <hwnd> <id>          BM_CLICK to a button
//   probe command <hwnd> <id>        WM_COMMAND with that id
//   probe post <hwnd|broadcast> <message|registered-name> [wparam] [lparam]
//   probe hostile <hwnd> <message|registered-name>...
//                                    posts each message with every pair of a table of hostile
//                                    wParam and lParam values (bad pointers, extremes), then
//                                    exits 0 when the window still answers within 5 s
//   probe traydelete <hwnd> <id>     removes that window's notification-area icon, as a shell
//                                    that restarts loses it
//   probe regacl <HKCU subkey> readonly|full
//                                    replaces the key's access list: everyone may only read it,
//                                    or everyone may do everything (to undo the first)
//   probe terminate <hwnd>           ends the window's process at once, as a kill or a crash
//   probe suspend|resume <hwnd>      suspends or resumes the thread of that window, as a busy
//                                    program that takes its messages late
//   probe foreground                 hwnd of the foreground window
//   probe focus                      hwnd of the top-level window that holds the keyboard focus
//   probe dpichange <hwnd> <from> <to>
//                                    sizes the window in proportion and posts WM_DPICHANGED
//                                    (with no suggested rectangle), as a move to a monitor of
//                                    another DPI would, which Wine never sends
//   probe regget <HKCU|HKLM\\key> <name>
//                                    a value as reg.exe's query lists it: type and data
//   probe regclear <HKCU|HKLM\\key>...
//                                    deletes each key with everything below it
//   probe regset <HKCU|HKLM\\key> [<name> dword|sz|binary <data>]
//                                    creates the key and sets the value (binary data as
//                                    reg.exe writes it: hex bytes separated by commas)
//   probe serve                      reads one request a line (its words separated by tabs),
//                                    answers each with its output and a last line "\x04 <exit
//                                    code>", until its input ends: one Wine start for many
//                                    requests
// Numbers may be decimal or 0x hexadecimal. Exit code 0 on success, 1 when not found.
#include <windows.h>
#include <sddl.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

unsigned long long Number(const wchar_t* text) {
    return std::wcstoull(text, nullptr, 0);
}
HWND Handle(const wchar_t* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text)));
}

std::wstring OnOneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\n') c = L'|';
        if (c == L'\r') c = L' ';
    }
    return text;
}

std::wstring Text(HWND hwnd) {
    wchar_t buffer[1024] = L"";
    // WM_GETTEXT works across processes for the text of any window.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return OnOneLine(buffer);
}

// Another process's window title as the system keeps it: no message to each window's thread
// (a busy one would hold up every listing). A tooltip keeps the text it shows itself.
std::wstring Title(HWND hwnd, const std::wstring& cls) {
    if (cls == TOOLTIPS_CLASSW) return Text(hwnd);
    wchar_t buffer[1024] = L"";
    GetWindowTextW(hwnd, buffer, 1024);
    return OnOneLine(buffer);
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

void Print(const std::wstring& line) {
    // UTF-8 so the driver reads every character.
    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), n, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

struct ListArgs {
    DWORD pid;
};

BOOL CALLBACK ListTop(HWND hwnd, LPARAM lp) {
    const auto* args = reinterpret_cast<ListArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (args->pid && pid != args->pid) return TRUE;
    const std::wstring cls = ClassOf(hwnd);
    wchar_t line[2048];
    swprintf(line, 2048, L"0x%llx %lu %d %d \"%ls\" \"%ls\"",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), pid, IsWindowVisible(hwnd) ? 1 : 0,
             IsWindowEnabled(hwnd) ? 1 : 0, cls.c_str(), Title(hwnd, cls).c_str());
    Print(line);
    return TRUE;
}

BOOL CALLBACK ListChild(HWND hwnd, LPARAM) {
    wchar_t line[2048];
    swprintf(line, 2048, L"%d 0x%llx %d %d \"%ls\" \"%ls\"", GetDlgCtrlID(hwnd),
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), IsWindowVisible(hwnd) ? 1 : 0,
             IsWindowEnabled(hwnd) ? 1 : 0, ClassOf(hwnd).c_str(), Text(hwnd).c_str());
    Print(line);
    return TRUE;
}

UINT MessageId(const wchar_t* text) {
    if (std::iswdigit(text[0])) return static_cast<UINT>(Number(text));
    return RegisterWindowMessageW(text);
}

HKEY Root(const std::wstring& path, std::wstring& subkey) {
    const size_t slash = path.find(L'\\');
    const std::wstring root = path.substr(0, slash);
    subkey = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
    if (root == L"HKCU" || root == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (root == L"HKLM" || root == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    return nullptr;
}

int RegSet(int argc, wchar_t** argv) {
    std::wstring subkey;
    HKEY root = Root(argv[2], subkey);
    HKEY key = nullptr;
    if (!root || RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
                     ERROR_SUCCESS) {
        return 1;
    }
    LONG result = ERROR_SUCCESS;
    if (argc == 6) {
        const std::wstring kind = argv[4];
        const wchar_t* data = argv[5];
        std::vector<BYTE> bytes;
        DWORD type = REG_BINARY;
        if (kind == L"dword") {
            const DWORD value = static_cast<DWORD>(Number(data));
            bytes.assign(reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value) + sizeof value);
            type = REG_DWORD;
        } else if (kind == L"sz") {
            const auto* text = reinterpret_cast<const BYTE*>(data);
            bytes.assign(text, text + (std::wcslen(data) + 1) * sizeof(wchar_t));
            type = REG_SZ;
        } else {
            for (const wchar_t* at = data; *at;) {
                wchar_t* end = nullptr;
                const unsigned long byte = std::wcstoul(at, &end, 16);
                if (end == at || byte > 0xFF) {
                    RegCloseKey(key);
                    return 2;
                }
                bytes.push_back(static_cast<BYTE>(byte));
                at = *end == L',' ? end + 1 : end;
            }
        }
        result = RegSetValueExW(key, argv[3], 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

int RegGet(const wchar_t* path, const wchar_t* name) {
    std::wstring subkey;
    HKEY root = Root(path, subkey);
    DWORD type = 0, size = 0;
    if (!root ||
        RegGetValueW(root, subkey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) != ERROR_SUCCESS) {
        return 1;
    }
    std::wstring data(size / sizeof(wchar_t) + 2, L'\0');
    if (RegGetValueW(root, subkey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
        return 1;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    wchar_t number[32];
    switch (type) {
        case REG_DWORD:
            swprintf(number, 32, L"0x%lx", *reinterpret_cast<const DWORD*>(bytes));
            Print(L"REG_DWORD " + std::wstring(number));
            return 0;
        case REG_QWORD:
            swprintf(number, 32, L"0x%llx", *reinterpret_cast<const unsigned long long*>(bytes));
            Print(L"REG_QWORD " + std::wstring(number));
            return 0;
        case REG_SZ:
        case REG_EXPAND_SZ:
            Print((type == REG_SZ ? L"REG_SZ " : L"REG_EXPAND_SZ ") + std::wstring(data.c_str()));
            return 0;
        default: {
            std::wstring hex = type == REG_BINARY ? L"REG_BINARY " : L"REG_NONE ";
            for (DWORD i = 0; i < size; ++i) {
                swprintf(number, 32, L"%02X", bytes[i]);
                hex += number;
            }
            Print(hex);
            return 0;
        }
    }
}

int Run(int argc, wchar_t** argv);

// One request a line, its words separated by tabs, in UTF-8; each answer ends with a line
// holding \x04 and the request's exit code, flushed at once.
int Serve() {
    char line[8192];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string bytes(line);
        while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
        const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
        std::wstring request(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, request.data(), n);
        request.resize(std::wcslen(request.c_str()));
        std::vector<std::wstring> words{L"probe"};
        size_t from = 0;
        for (;;) {
            const size_t tab = request.find(L'\t', from);
            words.push_back(request.substr(from, tab == std::wstring::npos ? std::wstring::npos : tab - from));
            if (tab == std::wstring::npos) break;
            from = tab + 1;
        }
        std::vector<wchar_t*> args;
        for (auto& word : words) args.push_back(word.data());
        const int rc = words[1] == L"serve" ? 2 : Run(static_cast<int>(args.size()), args.data());
        std::printf("\x04 %d\n", rc);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
    return Run(argc, argv);
}

namespace {

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring verb = argv[1];
    if (verb == L"windows") {
        ListArgs args{argc > 2 ? static_cast<DWORD>(Number(argv[2])) : 0};
        EnumWindows(ListTop, reinterpret_cast<LPARAM>(&args));
        return 0;
    }
    if (verb == L"foreground") {
        std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
        return 0;
    }
    if (verb == L"focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus) return 1;
        std::printf("0x%llx\n",
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetAncestor(info.hwndFocus, GA_ROOT))));
        return 0;
    }
    if (verb == L"rect" && argc > 2) {
        RECT r{};
        if (!GetWindowRect(Handle(argv[2]), &r)) return 1;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (verb == L"find" && argc > 2) {
        HWND hwnd = FindWindowW(argc > 3 ? argv[3] : nullptr, argv[2]);
        if (!hwnd) return 1;
        std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
        return 0;
    }
    if (verb == L"controls" && argc > 2) {
        HWND hwnd = Handle(argv[2]);
        if (!IsWindow(hwnd)) return 1;
        EnumChildWindows(hwnd, ListChild, 0);
        return 0;
    }
    if (verb == L"settext" && argc > 4) {
        // WM_SETTEXT as typing would leave the field: the dialog gets EN_CHANGE.
        HWND control = GetDlgItem(Handle(argv[2]), static_cast<int>(Number(argv[3])));
        if (!control) return 1;
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_ABORTIFHUNG, 2000,
                                   &result) &&
                       result
                   ? 0
                   : 1;
    }
    if ((verb == L"text" || verb == L"click" || verb == L"command") && argc > 3) {
        HWND hwnd = Handle(argv[2]);
        const int id = static_cast<int>(Number(argv[3]));
        if (verb == L"command") return PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
        HWND control = GetDlgItem(hwnd, id);
        if (!control) return 1;
        if (verb == L"click") return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
        Print(Text(control));
        return 0;
    }
    if (verb == L"hostile" && argc > 3) {
        HWND hwnd = Handle(argv[2]);
        const WPARAM wParams[] = {0, 1, 3, 4, 5, 6, 7, 8, 0xFFFF, 0xDEADBEEF, ~WPARAM{0}};
        const LPARAM lParams[] = {0,
                                  1,
                                  0x10,
                                  0x41414141,
                                  static_cast<LPARAM>(0xDEADBEEFDEADBEEFull),
                                  -1,
                                  static_cast<LPARAM>(0x7FFFFFFFFFFFFFFFll)};
        for (int i = 3; i < argc; ++i) {
            const UINT msg = MessageId(argv[i]);
            for (WPARAM wp : wParams) {
                for (LPARAM lp : lParams) {
                    if (!PostMessageW(hwnd, msg, wp, lp)) return 1;
                }
            }
        }
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) ? 0 : 1;
    }
    if (verb == L"terminate" && argc > 2) {
        DWORD pid = 0;
        GetWindowThreadProcessId(Handle(argv[2]), &pid);
        HANDLE process = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr;
        if (!process) return 1;
        const bool ended = TerminateProcess(process, 9) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
        CloseHandle(process);
        return ended ? 0 : 1;
    }
    if ((verb == L"suspend" || verb == L"resume") && argc > 2) {
        const DWORD tid = GetWindowThreadProcessId(Handle(argv[2]), nullptr);
        HANDLE thread = tid ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, tid) : nullptr;
        if (!thread) return 1;
        const DWORD count = verb == L"suspend" ? SuspendThread(thread) : ResumeThread(thread);
        CloseHandle(thread);
        return count == static_cast<DWORD>(-1) ? 1 : 0;
    }
    if (verb == L"traydelete" && argc > 3) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = Handle(argv[2]);
        data.uID = static_cast<UINT>(Number(argv[3]));
        return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
    }
    if (verb == L"regacl" && argc > 3) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, argv[2], 0, WRITE_DAC | READ_CONTROL, &key) != ERROR_SUCCESS) return 1;
        const wchar_t* sddl = std::wstring(argv[3]) == L"readonly" ? L"D:P(A;OICI;KR;;;WD)" : L"D:P(A;OICI;KA;;;WD)";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        LONG result = ERROR_INVALID_PARAMETER;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
            result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            LocalFree(descriptor);
        }
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? 0 : 1;
    }
    if (verb == L"mutexfree" && argc > 2) {
        // 0 when no thread holds the named mutex (or it is gone with its last handle), 1 if held.
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, argv[2]);
        if (!mutex) return 0;
        const DWORD result = WaitForSingleObject(mutex, 0);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(mutex);
        CloseHandle(mutex);
        return result == WAIT_TIMEOUT ? 1 : 0;
    }
    if (verb == L"dpichange" && argc > 4) {
        HWND hwnd = Handle(argv[2]);
        const int from = static_cast<int>(Number(argv[3])), to = static_cast<int>(Number(argv[4]));
        RECT r{};
        if (from <= 0 || to <= 0 || !GetWindowRect(hwnd, &r)) return 1;
        SetWindowPos(hwnd, nullptr, 0, 0, MulDiv(r.right - r.left, to, from), MulDiv(r.bottom - r.top, to, from),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return PostMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), 0) ? 0 : 1;
    }
    if (verb == L"post" && argc > 3) {
        HWND hwnd = std::wstring(argv[2]) == L"broadcast" ? HWND_BROADCAST : Handle(argv[2]);
        const UINT msg = MessageId(argv[3]);
        const WPARAM wp = argc > 4 ? static_cast<WPARAM>(Number(argv[4])) : 0;
        const LPARAM lp = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
        return PostMessageW(hwnd, msg, wp, lp) ? 0 : 1;
    }
    if (verb == L"regget" && argc > 3) return RegGet(argv[2], argv[3]);
    if (verb == L"regset" && (argc == 3 || argc == 6)) return RegSet(argc, argv);
    if (verb == L"regclear" && argc > 2) {
        for (int i = 2; i < argc; ++i) {
            std::wstring subkey;
            HKEY root = Root(argv[i], subkey);
            if (!root || subkey.empty()) return 2;
            const LONG result = RegDeleteTreeW(root, subkey.c_str());
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return 1;
        }
        return 0;
    }
    return 2;
}

}  // namespace
