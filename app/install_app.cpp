#include "app/install_app.h"

#include "app/installed_product.h"
#include "app/languages.h"
#include "app/localized_window.h"
#include "app/product_identity.h"
#include "app/startup.h"
#include "package/folder_placeholders.h"
#include "support/app_services.h"
#include "support/message_box.h"
#include "wizard/install_dlg.h"

#include <shlobj.h>

#include <boost/uuid/uuid.hpp>
#include <boost/uuid/uuid_generators.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <shlwapi.h>

#include <cwchar>
#include <filesystem>
#include <optional>

namespace {

std::wstring InstallerMutexName()
{
    return GetStartupState().applicationId + L".{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
}

// "%08x (%s)": an error code and the call that gave it.
std::wstring ErrorText(unsigned code, const wchar_t* call)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"%08x (%ls)", code, call);
    return text;
}

// The language index that a previous installation stored, when it can be read.
std::optional<std::uint32_t> StoredLanguage()
{
    const std::wstring keyName = UninstallKeyName();
    vt::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    std::uint32_t value = 0;
    DWORD size = sizeof(value);
    if (::SHQueryValueExW(key.get(), L"VtLanguage", nullptr, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

} // namespace

CInstallApp::CInstallApp()
    : CWinApp(nullptr),
      m_instanceMutex(InstallerMutexName(), false, true)
{
    g_productId = kOstrel4ProductId;
    // The icon at the size stored in the resource, not scaled to the system's icon size; shared,
    // so the system owns it for the life of the process.
    HICON icon = static_cast<HICON>(::LoadImageW(m_hInstance, MAKEINTRESOURCEW(128), IMAGE_ICON, 0, 0, LR_SHARED));
    GetAppServices().icon = [icon] { return icon; };
}

CInstallApp::~CInstallApp() = default;

CInstallApp& GetInstallApp()
{
    return static_cast<CInstallApp&>(*AfxGetApp());
}

int CInstallApp::GetInstallMode(std::wstring* installedVersion) const
{
    if (installedVersion != nullptr && (m_nInstallMode == ModeNewer || m_nInstallMode == ModeUpdate))
        *installedVersion = m_strInstalledVersion;
    return m_nInstallMode;
}

bool CInstallApp::ChooseTempFolder(std::wstring& errorText)
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    // The private folder's name and the files inside it must still fit in MAX_PATH.
    if (length == 0 || length > 246) {
        errorText = ErrorText(::GetLastError(), L"GetTempPath");
        return false;
    }
    boost::uuids::uuid id;
    try {
        id = boost::uuids::random_generator()();
    } catch (const boost::uuids::entropy_error& error) {
        errorText = ErrorText(static_cast<unsigned>(error.errcode()), L"BCryptGenRandom");
        return false;
    }
    const std::wstring name = L"vantor_{" + boost::uuids::to_wstring(id) + L"}";
    m_strTempFolder = (std::filesystem::path(folder) / name).wstring();
    return true;
}

void CInstallApp::ChooseStartupLanguage()
{
    SetLanguage(DefaultLanguage(kInstallerLanguageMask));
    if (const auto stored = StoredLanguage(); stored && IsStoredLanguageValid(*stored))
        SetLanguage(static_cast<int>(*stored));
    if (!IsInstallerLanguage(GetLanguageState().index))
        SetLanguage(kEnglish);
}

void CInstallApp::ChangeLanguage(int index)
{
    SetLanguage(index);
    if (!IsInstallerLanguage(index)) {
        message_box(FormatLocalized(1129, {GetProductName(true)}), MB_ICONINFORMATION);
        SetLanguage(kEnglish);
    }
    SetAppName(GetInstallerTitle(true));
    if (auto* window = dynamic_cast<LocalizedWindow*>(m_pMainWnd))
        window->UpdateAllTexts();
}

bool CInstallApp::CheckAdministratorRights() const
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sid);
    BOOL member = FALSE;
    // Membership of the current token: an administrator running without elevation fails.
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
        !::CheckTokenMembership(nullptr, sid, &member))
        member = FALSE;
    if (!member) {
        AfxMessageBox(LoadLocalized(1126), MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CInstallApp::WaitWhileProductRuns() const
{
    InstanceCounter& counter = *GetStartupState().runningInstances;
    while (counter.Count() > 1) {
        const std::wstring text = FormatLocalized(1127, {GetProductName(true)});
        if (AfxMessageBox(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
            return false;
    }
    return true;
}

void CInstallApp::DecideInstallMode()
{
    const InstallModeDecision decision = DecideInstallModeFor(GetInstalledProgramPath());
    // The decision holds a version text only for ModeNewer and ModeUpdate, a version number only
    // for ModeUpdate.
    m_nInstallMode = decision.mode;
    m_strInstalledVersion = decision.installedVersionText;
    m_nInstalledVersion = decision.installedVersion;

    // A reinstallation or an update starts from the folders the previous installation used; its
    // log also tells which shared data files it placed, and its records live on in the new log.
    if (m_nInstallMode == ModeSame || m_nInstallMode == ModeUpdate) {
        const std::wstring previousLog = FindUninstallLog();
        if (!previousLog.empty()) {
            m_uninstallLog.Load(previousLog);
            m_strInstallFolder = m_uninstallLog.m_strPrevInstallFolder;
            m_strMenuFolder = m_uninstallLog.m_strPrevMenuFolder;
        }
        return;
    }
    m_uninstallLog.Load(std::nullopt);
}

void CInstallApp::PrepareDefaultFolders()
{
    const std::wstring subFolder = std::wstring(L"\\") + kMakerName + L"\\" + ProductDisplayName(g_productId);
    if (m_strInstallFolder.empty())
        m_strInstallFolder = shell_folder_path(CSIDL_PROGRAM_FILES) + subFolder;
    if (m_strMenuFolder.empty()) {
        std::wstring programs = shell_folder_path(CSIDL_COMMON_PROGRAMS);
        if (programs.empty())
            programs = shell_folder_path(CSIDL_PROGRAMS);
        m_strMenuFolder = programs + subFolder;
    }
}

BOOL CInstallApp::InitInstance()
{
    if (!GetStartupState().processorChecked) {
        error_box(static_cast<DWORD>(E_UNEXPECTED));
        return FALSE;
    }
    if (!m_instanceMutex.TryLock()) {
        error_box(ERROR_BUSY); // another installer of this application runs
        return FALSE;
    }
    CWinApp::InitInstance();

    ChooseStartupLanguage();
    SetAppName(GetInstallerTitle(true));

    if (!CheckAdministratorRights() || !WaitWhileProductRuns())
        return FALSE;

    DecideInstallMode();
    PrepareDefaultFolders();
    m_bMenuShortcut = true;
    m_bDesktopShortcut = true;
    m_bCustomMode = false;

    {
        CInstallDlg wizard;
        m_pMainWnd = &wizard;
        wizard.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
