#pragma once
// TODO(removal log): the full journal and the Uninstall.ulog reader and writer replace this
// record, which holds only the two folders start-up takes over from a previous installation.
#include <optional>
#include <string>

class UninstallLog {
public:
    // Without a file: no previous installation, no previous folders.
    void Load(std::nullopt_t)
    {
        m_strPrevInstallFolder.clear();
        m_strPrevMenuFolder.clear();
    }

    std::wstring m_strPrevInstallFolder;
    std::wstring m_strPrevMenuFolder;
};
