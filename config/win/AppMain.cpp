// The program's entry point: everything happens in the application object.
#include <windows.h>

#include "WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    app->InitInstance();
    return app->ExitCode();
}
