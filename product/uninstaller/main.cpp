// Stands in for the uninstaller of Ostrel 4 in the installer's package until the real one is
// built: it says so and ends with a failure status, so that nobody takes it for an uninstallation.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    ::MessageBoxW(nullptr, L"The uninstaller of Ostrel 4 is not built yet: nothing was removed.",
                  L"Uninstall Ostrel 4", MB_ICONINFORMATION | MB_OK);
    return 1;
}
