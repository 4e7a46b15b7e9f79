#pragma once
// Whether and in which version the product is already on this machine, and where its previous
// installation left the removal log.
#include "app/install_mode.h"

#include <cstdint>
#include <string>

// The installed program's full path as the maker's registry key records it, when that path
// exists; empty otherwise. Read on the first call and kept for the rest of the process, so that
// every step of start-up sees the same installation.
std::wstring GetInstalledProgramPath();
// The same, read afresh on every call.
std::wstring ComputeInstalledProgramPath();

struct InstallModeDecision {
    InstallMode mode = ModeFresh;
    std::wstring installedVersionText; // ModeNewer and ModeUpdate only
    std::uint64_t installedVersion = 0; // packed; ModeUpdate only
};

// The mode for the installed program at `programPath` (empty: the product is not installed),
// from the version resource of that program.
InstallModeDecision DecideInstallModeFor(const std::wstring& programPath);

inline constexpr wchar_t kUninstallLogName[] = L"Uninstall.ulog";

// The previous installation's removal log: the first of "Uninstall.ulog" beside the uninstaller
// that the product's uninstall key names, beside `installerPath` and beside
// `installedProgramPath` that exists; empty when none does.
std::wstring FindUninstallLog(const std::wstring& installerPath, const std::wstring& installedProgramPath);
// The same for this program and GetInstalledProgramPath.
std::wstring FindUninstallLog();
