#pragma once
#include "tests/support/child_process.h"

#include <filesystem>
#include <string>

namespace e2e {

// build/win64/tests/e2e/ostrel_e2e.exe -> build/win64/InstallOstrel4.05.exe
inline std::wstring InstallerPath()
{
    return std::filesystem::weakly_canonical(std::filesystem::path(testsupport::ProgramFolder()) / L".." / L".." /
                                             L"InstallOstrel4.05.exe")
        .wstring();
}

inline std::wstring CounterHolderPath()
{
    return (std::filesystem::path(testsupport::ProgramFolder()) / L"counter_holder.exe").wstring();
}

inline const std::wstring kWizardCaption = L"Installer \u2013 Ostrel 4.05";
inline const std::wstring kDialogClass = L"#32770";

} // namespace e2e
