// Entry point: the application object runs start-up, the program's loop and the exit.
#include <windows.h>

#include "app/RestwellApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    rw::CRestwellApp app;
    return app.Run(instance, commandLine);
}
