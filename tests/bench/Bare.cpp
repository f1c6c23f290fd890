// The yardstick of the idle benchmark: a Win32 program that loads what Restwell loads (common
// controls, rich edit 2.0, OLE) and waits in its message loop with one hidden window.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    HWND window = CreateWindowExW(0, L"STATIC", L"Bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
    if (richEdit) FreeLibrary(richEdit);
    if (ole) OleUninitialize();
    return 0;
}
