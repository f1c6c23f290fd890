// The yardstick of the idle benchmark: a Win32 program that loads the system libraries
// Restwell loads (common controls, rich edit 2.0, OLE, the shell, WinINet and the rest of its
// imports) and waits in its message loop with one hidden window and one 20-second timer, the
// least a program that watches the user's activity needs.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    const wchar_t* const libraries[] = {L"riched20.dll", L"shell32.dll", L"wininet.dll", L"urlmon.dll",
                                        L"winmm.dll",    L"version.dll", L"dwmapi.dll",  L"comdlg32.dll",
                                        L"msimg32.dll",  L"oleaut32.dll"};
    HMODULE loaded[sizeof libraries / sizeof libraries[0]] = {};
    for (size_t i = 0; i < sizeof libraries / sizeof libraries[0]; ++i) loaded[i] = LoadLibraryW(libraries[i]);
    HWND window = CreateWindowExW(0, L"STATIC", L"Bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 20000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
    for (HMODULE module : loaded) {
        if (module) FreeLibrary(module);
    }
    if (ole) OleUninitialize();
    return 0;
}
