#pragma once
// TODO(removal log): the full journal and the Uninstall.ulog reader and writer replace this
// record, which holds only the two folders start-up takes over from a previous installation.
#include <optional>
#include <string>

class UninstallLog {
public:
    // Without a file, clears the previous folders.
    void Load(const std::optional<std::wstring>& path)
    {
        if (!path) {
            m_strPrevInstallFolder.clear();
            m_strPrevMenuFolder.clear();
        }
    }

    std::wstring m_strPrevInstallFolder;
    std::wstring m_strPrevMenuFolder;
};
