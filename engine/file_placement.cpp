// Which package entries are written, what the journal records of each, and what happens to a
// file already at the destination: the installation page's file_started and file_finished
// handlers.
#include "engine/dlg_install.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "engine/access_rights.h"
#include "engine/file_system.h"
#include "engine/path_text.h"
#include "engine/temporary_files.h"
#include "framework/gdi.h"

#include <shlwapi.h>

namespace {

// What every user of the machine may do with a shared data file: read, change and delete it.
constexpr DWORD kDataFileAccess = FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE;

void GrantDataFileAccess(const std::wstring& path)
{
    // A file whose rights cannot be changed (a volume without access lists) is placed all the same.
    AddFileAccess(path, kDataFileAccess, 0);
}

// `text` shortened in its middle with "..." until it fits the control's width in its font.
std::wstring CompactedToFit(HWND control, const std::wstring& text)
{
    std::wstring buffer = text;
    buffer.push_back(L'\0');
    RECT client{};
    ::GetClientRect(control, &client);
    if (const vt::window_dc dc(control); dc) {
        const vt::selected_object font(dc.get(), vt::WindowFont(control));
        ::PathCompactPathW(dc.get(), buffer.data(), static_cast<UINT>(client.right - client.left));
    }
    return buffer.c_str();
}

} // namespace

notification::result CDlgInstall::OnFileStarted(const package_entry& entry)
{
    CInstallApp& app = GetInstallApp();
    UninstallLog& log = app.m_uninstallLog;
    const std::wstring& path = entry.destination;
    bool copyBackup = false;
    switch (entry.flags) {
    case EntryProgram:
        m_strProgramPath = path;
        break;
    case EntryUninstaller:
        m_strUninstallerPath = path;
        break;
    case EntryData:
        // The user's own data: never overwritten. One that an earlier installation placed is
        // already in its log; one left over from elsewhere is journalled with a copy, so that the
        // uninstaller removes it later and a rollback puts it back as it was.
        copyBackup = true;
        if (app.m_nInstallMode != ModeFresh && log.WasInstalled(path)) {
            GrantDataFileAccess(path);
            return notification::result::skip;
        }
        if (IsExistingFile(path)) {
            log.AddFile(path, static_cast<int>(entry.flags), true);
            log.SetResult(true);
            GrantDataFileAccess(path);
            return notification::result::skip;
        }
        break;
    case EntryNoUpdate:
        if (app.m_nInstallMode == ModeUpdate)
            return notification::result::skip;
        break;
    case EntryTemporary:
        if (g_temporaryFiles != nullptr)
            g_temporaryFiles->files.push_back(path);
        break;
    default:
        break;
    }

    const std::wstring text = FormatLocalized(1115, {DisplayedPath(path)});
    if (entry.flags != EntryTemporary)
        log.AddFile(path, static_cast<int>(entry.flags), copyBackup);
    SetStatus(CompactedToFit(StatusLine(), text));
    AppendLog(text);
    return notification::result::proceed;
}

notification::result CDlgInstall::OnFileFinished(const package_entry& entry)
{
    if (entry.flags == EntryData)
        GrantDataFileAccess(entry.destination);
    if (entry.flags != EntryTemporary)
        GetInstallApp().m_uninstallLog.SetResult(true);
    AppendLog(LoadLocalized(1011) + L"\r\n");
    return notification::result::proceed;
}
