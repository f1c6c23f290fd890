#include "NotifyTestSupport.h"

#include <cwctype>

#include "framework/Window.h"
#include "res/resource.h"

namespace rw::test {
namespace {

TestOwnerWindow* g_owner = nullptr;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_owner && message == WM_COMMAND) {
        g_owner->commands.push_back(LOWORD(wParam));
        return 0;
    }
    if (g_owner && message == WM_NULL) {
        ++g_owner->nulls;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

TestOwnerWindow::TestOwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RestwellTestOwner";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                            wc.hInstance, nullptr);
    g_owner = this;
}

TestOwnerWindow::~TestOwnerWindow() {
    g_owner = nullptr;
    DestroyWindow(hwnd_);
}

void TestOwnerWindow::Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const LONG left = static_cast<LONG>(end - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

HICON RecordingIconOwner::IconById(int iconId) {
    return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId));
}

std::wstring AccessKeysOf(HWND dialog) {
    std::wstring keys;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = L"";
        GetClassNameW(child, cls, 32);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(cls, L"Static") == 0 && (style & SS_NOPREFIX)) continue;
        if (_wcsicmp(cls, L"Edit") == 0 || _wcsicmp(cls, L"ComboBox") == 0) continue;
        const std::wstring text = Window::TextOf(child);
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != L'&') continue;
            if (text[i + 1] == L'&') {
                ++i;
                continue;
            }
            keys += static_cast<wchar_t>(towlower(text[i + 1]));
            break;
        }
    }
    return keys;
}

}  // namespace rw::test
