#include "app/install_mode.h"

#include "app/product_identity.h"

InstallMode ModeForInstalledVersion(std::optional<std::uint64_t> installedVersion) noexcept
{
    // A program whose version cannot be read was still put there by an installation, so it is
    // treated as a reinstallation rather than as a fresh machine.
    if (!installedVersion || *installedVersion == kProductVersion)
        return ModeSame;
    return *installedVersion > kProductVersion ? ModeNewer : ModeUpdate;
}
