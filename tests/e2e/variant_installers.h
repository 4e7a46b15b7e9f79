#pragma once
// Installers built from altered packages, beside the tests:
// build/<preset>/tests/variants/<name>/InstallOstrel4.05.exe.
#include "tests/support/child_process.h"

#include <filesystem>
#include <string>

namespace e2e {

inline std::wstring VariantInstaller(const std::wstring& name)
{
    return (std::filesystem::path(testsupport::ProgramFolder()).parent_path() / L"variants" / name /
            L"InstallOstrel4.05.exe")
        .wstring();
}

} // namespace e2e
