#pragma once
// One entry of the installation's journal: what was made or replaced, and where the replaced
// thing was put aside.
#include <string>

enum RecordType : int {
    RecordFolder = 0,
    RecordFile = 1,
    RecordMenuShortcut = 2,
    RecordUninstallShortcut = 3,
    RecordDesktopShortcut = 4,
    RecordUninstallKey = 5,
    RecordRegistration = 6,
};

struct LogRecord {
    int type = RecordFolder;
    // The folder, file or .lnk path; for the key and the registration only the text the file shows.
    std::wstring path;
    // The temporary copy of what this record replaced; empty when nothing was put aside. Never
    // written to the file.
    std::wstring backup;
    bool done = false;
    // The package entry's flags for a file, -1 for every other kind.
    int entryFlags = -1;

    // Kept in memory only, for the rollback:
    // a file was present at `path` and could not be put aside, so what stands there now may be
    // the only copy of it and a rollback leaves it alone;
    bool replacedWithoutBackup = false;
    // where `backup` came from and goes back to: a shortcut's backup is the previous
    // installation's shortcut, whose name may differ from the new one's (empty: `path`).
    std::wstring backupOrigin;
};
