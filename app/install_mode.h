#pragma once
// What start-up found on the machine, and the rule that turns an installed program's version into
// it. No Win32 call here, so that the host tests run the same rule as the installer.
#include <cstdint>
#include <optional>

// The numbers are compared by the wizard and the engine.
enum InstallMode : int {
    ModeNewer = -1,  // a newer version is installed: the installer only explains and exits
    ModeFresh = 0,   // the product is not installed
    ModeSame = 1,    // the same version is installed (reinstallation)
    ModeUpdate = 2,  // an older version is installed (update)
};

// The mode for an installed program whose packed file version is `installedVersion`, compared
// with the version this installer carries; a program without a readable version counts as the
// same version.
InstallMode ModeForInstalledVersion(std::optional<std::uint64_t> installedVersion) noexcept;
