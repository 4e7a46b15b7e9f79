// The program's entry point. The application object already exists: it is constructed during
// static initialisation, after the start-up checks that precede it.
#include "framework/win_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr || !app->InitInstance())
        return app != nullptr ? app->ExitInstance() : 0;
    return app->Run();
}
