#pragma once
// What start-up found on the machine; the numbers are compared by the wizard and the engine.
enum InstallMode : int {
    ModeNewer = -1,  // a newer version is installed: the installer only explains and exits
    ModeFresh = 0,   // the product is not installed
    ModeSame = 1,    // the same version is installed (reinstallation)
    ModeUpdate = 2,  // an older version is installed (update)
};
