#pragma once
#include "tests/support/child_process.h"

#include <filesystem>
#include <string>

namespace e2e {

using testsupport::InstallerPath;

inline std::wstring CounterHolderPath()
{
    return (std::filesystem::path(testsupport::ProgramFolder()) / L"counter_holder.exe").wstring();
}

inline const std::wstring kWizardCaption = L"Installer \u2013 Ostrel 4.05";
inline const std::wstring kDialogClass = L"#32770";

} // namespace e2e
