#pragma once
// The files an installation needs only while it runs: placed in the run's private temporary
// folder, listed here as they are written, and removed with the folder when the run ends.
#include <string>
#include <vector>

struct TemporaryFiles {
    // Publishes itself in g_temporaryFiles for the life of the run.
    explicit TemporaryFiles(std::wstring temporaryFolder);
    // Removes every listed file and then the folder (only when it is empty), ignoring failures.
    ~TemporaryFiles();
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    std::wstring folder;
    std::vector<std::wstring> files;
};

// The running installation's temporary files; null outside a run (there is one run at a time).
extern TemporaryFiles* g_temporaryFiles;
