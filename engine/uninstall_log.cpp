// TODO(removal log): placeholder bodies so that the engine links while the journal is built.
#include "engine/uninstall_log.h"

void UninstallLog::Load(const std::optional<std::wstring>&)
{
    m_strPrevInstallFolder.clear();
    m_strPrevMenuFolder.clear();
}

bool UninstallLog::WasInstalled(const std::wstring&) const
{
    return false;
}

void UninstallLog::SetResult(bool ok, const std::wstring* path)
{
    if (!m_bPending)
        return;
    m_bPending = false;
    m_records.back().done = ok;
    if (path != nullptr)
        m_records.back().path = *path;
}

void UninstallLog::AddFile(const std::wstring& path, int flags, bool)
{
    m_bPending = true;
    m_records.push_back(LogRecord{RecordFile, path, {}, false, flags});
}

void UninstallLog::CreateFolders(const std::wstring&) {}

void UninstallLog::AddShortcut(ShortcutKind kind, const std::wstring&)
{
    m_bPending = true;
    m_records.push_back(LogRecord{RecordMenuShortcut + static_cast<int>(kind), {}, {}, false, -1});
}

void UninstallLog::AddUninstallKey(HKEY)
{
    m_bPending = true;
    m_records.push_back(LogRecord{RecordUninstallKey, {}, {}, false, -1});
}

void UninstallLog::AddRegistration()
{
    m_bPending = true;
    m_records.push_back(LogRecord{RecordRegistration, {}, {}, false, -1});
}

bool UninstallLog::Save(const std::wstring&, const std::wstring&, const std::wstring&)
{
    return false;
}

void UninstallLog::Rollback()
{
    m_records.clear();
    m_bPending = false;
}
