#pragma once
// The product's registration with Windows: its entry in the list of installed programs, and
// the installed program's path under the maker's key, which the next installer reads back.
#include <string>

class UninstallLog;

struct InstalledFiles {
    std::wstring programPath;
    std::wstring uninstallerPath;
};

// Creates or updates the product's uninstall key (journalled in `log`, an existing key saved
// first) with its twelve values; values of the key not written here stay. True when the key
// was opened and both DisplayName and UninstallString were written.
bool WriteUninstallKey(UninstallLog& log, const InstalledFiles& files, int languageIndex);

// Writes the program-path value under the maker's key. Not journalled.
bool RegisterProgramPath(const std::wstring& programPath);
