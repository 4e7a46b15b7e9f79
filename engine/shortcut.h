#pragma once
// Shell shortcuts (.lnk files) to the installed program and the uninstaller.
#include <optional>
#include <string>

// Saves "<folder>\<name>.lnk" pointing at `target`, with the target's folder as working folder
// (no arguments or icon: the shortcut shows the target's own icon). Without a name the target's
// file name without extension is used. On success the shortcut's path goes to `linkPath` when
// given. The folder must exist.
bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::optional<std::wstring>& name,
                    std::wstring* linkPath);
