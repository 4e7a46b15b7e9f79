#pragma once
// The application object and the one shared store of the installation settings: start-up
// fills them, the wizard pages change them, the installation run consumes them.
#include "app/install_mode.h"
#include "app/named_objects.h"
#include "engine/uninstall_log.h"
#include "framework/win_app.h"

#include <cstdint>
#include <string>

class CInstallApp : public CWinApp {
public:
    CInstallApp();
    ~CInstallApp() override;

    // Runs the start-up sequence and the wizard; always FALSE, so that the process then ends.
    BOOL InitInstance() override;

    // The mode; with `installedVersion`, also the installed version text for ModeNewer and
    // ModeUpdate (left as it was for the other modes).
    int GetInstallMode(std::wstring* installedVersion = nullptr) const;

    // Picks a new private folder name under the system's temporary folder into
    // m_strTempFolder (the folder is not created). On failure returns false, leaves
    // m_strTempFolder unchanged and puts the reason into errorText.
    bool ChooseTempFolder(std::wstring& errorText);

    // Applies a language picked on the start page; a language without installer texts installs
    // the product in that language but leaves the installer in English, after saying so.
    void ChangeLanguage(int index);

    int m_nInstallMode = ModeFresh;
    std::wstring m_strInstalledVersion;
    NamedMutex m_instanceMutex;
    std::wstring m_strInstallFolder;
    std::wstring m_strMenuFolder;
    std::wstring m_strTempFolder;
    bool m_bMenuShortcut = false;
    bool m_bDesktopShortcut = false;
    bool m_bCustomMode = false;
    UninstallLog m_uninstallLog;
    bool m_bInstallDone = false;
    std::uint64_t m_nInstalledVersion = 0;

private:
    void ChooseStartupLanguage();
    // Steps of InitInstance that may end start-up; each returns false to end.
    bool CheckAdministratorRights() const;
    bool WaitWhileProductRuns() const;
    void DecideInstallMode();
    void PrepareDefaultFolders();
};

// The program's application object (the pages and the engine reach the settings through it).
CInstallApp& GetInstallApp();
