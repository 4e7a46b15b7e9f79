#pragma once
// The installation's journal: what the previous installation left (read from its
// Uninstall.ulog at start-up) and every folder, file, shortcut, key and registration this
// installation makes. The run either commits it (Save writes Uninstall.ulog beside the
// uninstaller and drops the backups) or undoes it (Rollback).
#include "engine/log_record.h"

#include <windows.h>

#include <deque>
#include <optional>
#include <string>

class UninstallLog {
public:
    // Shortcut kinds of AddShortcut: record type RecordMenuShortcut + kind.
    enum ShortcutKind { MenuProgramShortcut = 0, MenuUninstallShortcut = 1, DesktopProgramShortcut = 2 };

    // Reads a previous installation's log; without a path (or a file that cannot be opened)
    // there is no previous installation. The folders are kept only when they still exist.
    void Load(const std::optional<std::wstring>& path);

    // Whether the previous log lists `path` (exact text) as a file it placed.
    bool WasInstalled(const std::wstring& path) const;

    // Gives the newest record its outcome (and its path, when given) if it is still pending.
    void SetResult(bool ok, const std::wstring* path = nullptr);
    bool IsPending() const noexcept { return m_bPending; }

    // A file about to be placed: its missing folders are created and recorded, then the file's
    // record; a present file is moved (or, with copyBackup, copied) aside first.
    void AddFile(const std::wstring& path, int flags, bool copyBackup);
    // Creates the missing levels of `folder`, recording each one made (parent before child).
    void CreateFolders(const std::wstring& folder);
    // A shortcut of `kind` about to be made in `folder`; the previous installation's shortcut of
    // that kind is moved aside.
    void AddShortcut(ShortcutKind kind, const std::wstring& folder);
    // The product's uninstall key about to be written; `existingKey` (open, or nullptr when the
    // key is new) is saved to a hive file so that a rollback can put it back.
    void AddUninstallKey(HKEY existingKey);
    // The installed program's self-registration run about to start.
    void AddRegistration();

    // Merges the previous records, writes `path` and discards every backup, whatever the
    // outcome of the write; true when the file was written whole.
    bool Save(const std::wstring& path, const std::wstring& installFolder, const std::wstring& menuFolder);
    // Undoes every record of this installation, newest first, and forgets them.
    void Rollback();

    std::wstring m_strPrevInstallFolder;
    std::wstring m_strPrevMenuFolder;
    std::deque<LogRecord> m_previous;
    std::deque<LogRecord> m_records;
    bool m_bPending = false;
    std::wstring m_strPrevProduct;
};
