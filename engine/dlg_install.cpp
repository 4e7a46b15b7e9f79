#include "engine/dlg_install.h"

#include "app/install_app.h"
#include "app/installed_product.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "engine/error_code_text.h"
#include "engine/launch.h"
#include "engine/log_banner.h"
#include "engine/path_text.h"
#include "engine/progress_percent.h"
#include "engine/registration.h"
#include "engine/shortcut.h"
#include "engine/temporary_files.h"
#include "framework/data_exchange.h"
#include "framework/gdi.h"
#include "framework/wait_cursor.h"
#include "package/compress_error.h"
#include "package/extraction.h"
#include "package/folder_placeholders.h"
#include "package/package_resource.h"
#include "wizard/page_status.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <variant>

namespace {

constexpr int IDC_LOG = 1015;
constexpr int IDC_PROGRESS = 1014;
constexpr wchar_t kLineBreak[] = L"\r\n";

// Adds the read-only attribute to an installed file; a path whose attributes cannot be read is
// passed over.
void MakeReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

// The desktop shared by all users, else the user's own.
std::wstring DesktopFolder()
{
    const std::wstring common = shell_folder_path(CSIDL_COMMON_DESKTOPDIRECTORY);
    return common.empty() ? shell_folder_path(CSIDL_DESKTOPDIRECTORY) : common;
}

// Uninstall.ulog beside the uninstaller, which reads it there; nothing without an uninstaller.
std::optional<std::wstring> RemovalLogPath(const std::wstring& uninstallerPath)
{
    const std::optional<std::wstring> folder = FolderOf(uninstallerPath);
    wchar_t path[MAX_PATH] = {};
    if (!folder || folder->size() >= MAX_PATH)
        return std::nullopt;
    folder->copy(path, folder->size());
    if (!::PathAppendW(path, kUninstallLogName))
        return std::nullopt;
    return std::wstring(path);
}

} // namespace

// Hands each notification of the extraction to the page's handler for it, then lets the window
// breathe before the extraction goes on.
class InstallationCallback {
public:
    InstallationCallback(CDlgInstall& page, std::istream& package) : m_page(page), m_package(package) {}

    notification::result operator()(notification message) const
    {
        const notification::result result = std::visit([this](auto& alternative) { return Handle(alternative); },
                                                       message.value);
        CDlgInstall::PumpMessages();
        return result;
    }

private:
    notification::result Handle(const notification::started&) const { return m_page.OnStarted(m_package); }
    notification::result Handle(const notification::finished&) const { return notification::result::proceed; }
    notification::result Handle(const notification::file_started& file) const
    {
        return m_page.OnFileStarted(*file.entry);
    }
    notification::result Handle(const notification::file_finished& file) const
    {
        return m_page.OnFileFinished(*file.entry);
    }
    notification::result Handle(const notification::progress& progress) const
    {
        return m_page.OnProgress(progress.position, progress.total);
    }
    notification::result Handle(const notification::failed& failure) const { return m_page.OnFailed(failure.code); }

    CDlgInstall& m_page;
    std::istream& m_package;
};

BOOL CDlgInstall::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SetRange(0, 100);
    m_progress.ShowWindow(SW_HIDE);
    return TRUE;
}

void CDlgInstall::DoDataExchange(CDataExchange& exchange)
{
    DDX_Control(exchange, IDC_LOG, m_editLog);
    DDX_Control(exchange, IDC_PROGRESS, m_progress);
    // Before a successful installation every visit shows the options as they are now; after
    // it the page keeps its transcript.
    if (!exchange.m_bSaveAndValidate && !GetInstallApp().m_bInstallDone)
        WriteSummary();
}

void CDlgInstall::WriteSummary()
{
    const CInstallApp& app = GetInstallApp();
    m_editLog.SetWindowText(L"");
    AppendLog(FormatLocalized(1100, {GetProductName(false)}) + kLineBreak);
    AppendLog(LoadLocalized(1122), true);
    AppendLog(FormatLocalized(1123, {DisplayedPath(app.m_strInstallFolder)}) + kLineBreak);
    if (app.m_bMenuShortcut)
        AppendLog(FormatLocalized(1124, {DisplayedPath(app.m_strMenuFolder)}) + kLineBreak);
    if (app.m_bDesktopShortcut)
        AppendLog(LoadLocalized(1125) + kLineBreak);
    m_editLog.LineScroll(-m_editLog.GetFirstVisibleLine()); // back to the first line
}

void CDlgInstall::SetTexts()
{
    SetDlgItemText(IDC_STATUS, FormatLocalized(1108, {LoadLocalized(1007)}));
}

void CDlgInstall::Stretch(int dw, int dh)
{
    OffsetChild(IDC_LOG, 0, 0, dw, dh);
    OffsetChild(IDC_PROGRESS, 0, dh, dw, 0);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}

void CDlgInstall::AppendLog(std::wstring text, bool banner)
{
    if (text.empty() || banner) {
        RECT client{};
        ::GetClientRect(m_editLog.GetSafeHwnd(), &client);
        const DWORD margins = m_editLog.GetMargins();
        const int available = static_cast<int>(client.right - client.left) - LOWORD(margins) - HIWORD(margins) - 2;

        BannerDashes dashes;
        if (const vt::window_dc dc(m_editLog.GetSafeHwnd()); dc) {
            const vt::selected_object font(dc.get(), vt::WindowFont(m_hWnd));
            const int textWidth = text.empty() ? 0 : vt::TextWidth(dc.get(), L" " + text + L" ");
            dashes = ComputeBannerDashes(available, !text.empty(), textWidth, vt::TextWidth(dc.get(), L"-"));
        }
        text = BannerLine(text, dashes) + kLineBreak;
    }
    const int end = m_editLog.GetWindowTextLength();
    m_editLog.SetSel(end, end, true);
    m_editLog.ReplaceSel(text);
    m_editLog.LineScroll(1);
}

HWND CDlgInstall::StatusLine() const
{
    return GetDlgItem(IDC_STATUS);
}

void CDlgInstall::SetStatus(const std::wstring& text)
{
    SetDlgItemText(IDC_STATUS, text);
}

bool CDlgInstall::RunInstallation()
{
    CInstallApp& app = GetInstallApp();
    m_strProgramPath.clear();
    m_strUninstallerPath.clear();
    AppendLog(L"", true);
    const CWaitCursor wait;
    SetStatus(LoadLocalized(1114));

    std::wstring errorText;
    if (!app.ChooseTempFolder(errorText)) {
        const std::wstring failure = FormatLocalized(1121, {errorText});
        SetStatus(failure);
        AppendLog(failure + kLineBreak);
        return false;
    }
    const TemporaryFiles temporaryFiles(app.m_strTempFolder);
    m_progress.SetPos(0);
    m_progress.ShowWindow(SW_SHOW);

    try {
        if (!Extract()) {
            app.m_uninstallLog.Rollback();
            return false;
        }
        MakeReadOnly(m_strProgramPath);
        MakeReadOnly(m_strUninstallerPath);
        if (app.m_bMenuShortcut || app.m_bDesktopShortcut)
            CreateShortcuts();
        if (!Register())
            return false;
    } catch (const std::exception&) {
        // Nothing is committed before the removal log is saved: a step that could not even
        // finish (memory exhausted) leaves the machine as it was, and says so.
        app.m_uninstallLog.Rollback();
        AppendLog(LoadLocalized(1012) + kLineBreak);
        SetStatus(FormatLocalized(1121, {ErrorCodeText(make_error_code(unexpected_error))}));
        return false;
    }
    SaveRemovalLog(); // its failure is written on its line; the product is in place all the same
    SetStatus(NextInvitation());
    return true;
}

bool CDlgInstall::Extract()
{
    const CInstallApp& app = GetInstallApp();
    vt::imemstream package = open_package_resource();
    return extract_package(package, app.m_strInstallFolder, FormatLocalized(1018, {GetProductName(true)}),
                           app.m_strTempFolder, InstallationCallback(*this, package));
}

void CDlgInstall::CreateShortcuts()
{
    CInstallApp& app = GetInstallApp();
    UninstallLog& log = app.m_uninstallLog;
    const std::wstring title = LoadLocalized(1117);
    SetStatus(title);
    AppendLog(title);

    bool ok = true;
    const auto create = [&](UninstallLog::ShortcutKind kind, const std::wstring& folder, const std::wstring& target,
                            const std::wstring& name) {
        log.AddShortcut(kind, folder);
        std::wstring link;
        const bool created = CreateShortcut(target, folder, name, &link);
        log.SetResult(created, created ? &link : nullptr);
        ok = ok && created;
    };
    if (app.m_bMenuShortcut) {
        create(UninstallLog::MenuProgramShortcut, app.m_strMenuFolder, m_strProgramPath, GetProductName(false));
        create(UninstallLog::MenuUninstallShortcut, app.m_strMenuFolder, m_strUninstallerPath,
               FormatLocalized(1013, {GetProductName(true)}));
    }
    if (app.m_bDesktopShortcut)
        create(UninstallLog::DesktopProgramShortcut, DesktopFolder(), m_strProgramPath, GetProductName(false));
    AppendLog(LoadLocalized(ok ? 1011 : 1012) + kLineBreak);
}

bool CDlgInstall::Register()
{
    CInstallApp& app = GetInstallApp();
    const std::wstring title = LoadLocalized(1118);
    SetStatus(title);
    AppendLog(title);
    const bool keyWritten = WriteUninstallKey(app.m_uninstallLog, {m_strProgramPath, m_strUninstallerPath},
                                              GetLanguageState().index);
    // Without the program's path the next installer cannot find this installation: undo it all.
    if (!RegisterProgramPath(m_strProgramPath)) {
        app.m_uninstallLog.Rollback();
        AppendLog(LoadLocalized(1012) + kLineBreak);
        SetStatus(FormatLocalized(1121, {L"-1"}));
        return false;
    }
    app.m_uninstallLog.AddRegistration();
    const bool registered =
        RunRegistration(app.m_uninstallLog, m_strProgramPath, app.m_nInstalledVersion, app.m_instanceMutex);
    AppendLog(LoadLocalized(keyWritten && registered ? 1011 : 1012) + kLineBreak);
    return true;
}

void CDlgInstall::SaveRemovalLog()
{
    CInstallApp& app = GetInstallApp();
    const std::wstring title = LoadLocalized(1119);
    SetStatus(title);
    AppendLog(title);
    bool saved = false;
    if (const std::optional<std::wstring> logPath = RemovalLogPath(m_strUninstallerPath))
        saved = app.m_uninstallLog.Save(*logPath, app.m_strInstallFolder, app.m_strMenuFolder);
    AppendLog(LoadLocalized(saved ? 1011 : 1012) + kLineBreak);
}

notification::result CDlgInstall::OnStarted(std::istream& package)
{
    const std::wstring title = LoadLocalized(1114);
    SetStatus(title);
    AppendLog(title);
    // Nothing is written before the whole package is known to be sound.
    if (!verify_package(package))
        throw_compress_error(invalid_package);
    package.clear();
    package.seekg(0);
    AppendLog(LoadLocalized(1011) + kLineBreak);
    return notification::result::proceed;
}

notification::result CDlgInstall::OnProgress(std::uint64_t position, std::uint64_t total)
{
    m_progress.SetPos(ProgressPercent(position, total));
    return notification::result::proceed;
}

notification::result CDlgInstall::OnFailed(const std::error_code& error)
{
    GetInstallApp().m_uninstallLog.SetResult(false);
    AppendLog(LoadLocalized(1012) + kLineBreak);
    SetStatus(FormatLocalized(1121, {ErrorCodeText(error)}));
    return notification::result::cancel;
}

void CDlgInstall::PumpMessages()
{
    CWinApp* app = AfxGetApp();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The modal loop that owns the thread must see it too.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (app != nullptr && app->PreTranslateMessage(&message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
