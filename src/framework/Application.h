// The application base: the program's one global object. It carries the start-up and exit
// virtuals, the help entry point, the main window, the application name that titles message
// boxes, and the message loop.
#pragma once
#include <windows.h>

#include <string>

namespace rw {

class Window;

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The application object of the process, or null when there is none (tests of single
    // windows run without one).
    static Application* Current();

    // InitInstance; when it succeeds, RunMessageLoop; then ExitInstance, whose result is the
    // process exit code.
    int Run(HINSTANCE instance, const wchar_t* commandLine);

    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return exitCode_; }
    // The help entry point: every help request of the windows ends here (data is a
    // context-help id or 0, command a HELP_ command). There is no help by default.
    virtual void ShowHelp(DWORD_PTR data, UINT command);
    // Offered every message the loop takes, after the main window's dialog navigation; true
    // when it has dealt with the message, which is then not dispatched.
    virtual bool PreTranslateMessage(MSG& message);

    // The ordinary loop: takes messages until WM_QUIT and returns its code. The main window's
    // dialog navigation (while it exists), then PreTranslateMessage, may take a message;
    // every other one is translated and dispatched.
    virtual int RunMessageLoop();

    HINSTANCE Instance() const { return instance_; }
    const std::wstring& CommandLine() const { return commandLine_; }

    Window* MainWindow() const { return mainWindow_; }
    void SetMainWindow(Window* window) { mainWindow_ = window; }

    // The name that titles the application's message boxes.
    const std::wstring& AppName() const { return appName_; }
    void SetAppName(std::wstring name) { appName_ = std::move(name); }

    // A message box with a string-table text, titled with the application name, owned by
    // the active window of the thread.
    int ShowMessage(UINT textId, UINT type = MB_OK) const;

protected:
    void SetExitCode(int code) { exitCode_ = code; }

private:
    HINSTANCE instance_ = nullptr;
    std::wstring commandLine_;
    Window* mainWindow_ = nullptr;
    std::wstring appName_;
    int exitCode_ = 0;
};

// A message box with a string-table text, owned by the given window and titled with the
// application's name (empty without an application object).
int MessageBoxFromString(HWND owner, UINT textId, UINT type = MB_OK);

}  // namespace rw
