#pragma once
// Installers built from the same code as the shipped one, each carrying another package
// (tests/variants/CMakeLists.txt, target installer_variants):
//   "corrupt-package"  the product's package with bytes of its compressed data inverted: the
//                      stream opens but fails verification
//   "no-uninstaller"   the product's package without the uninstaller's entry
#include "tests/support/child_process.h"

#include <filesystem>
#include <string>

namespace testsupport {

// build/<preset>/tests/<kind>/<test>.exe -> build/<preset>/tests/variants/<name>/InstallOstrel4.05.exe
inline std::wstring InstallerVariant(const std::wstring& name)
{
    return (std::filesystem::path(ProgramFolder()).parent_path() / L"variants" / name / L"InstallOstrel4.05.exe")
        .wstring();
}

} // namespace testsupport
