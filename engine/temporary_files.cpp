#include "engine/temporary_files.h"

#include "engine/file_system.h"

#include <windows.h>

TemporaryFiles* g_temporaryFiles = nullptr;

TemporaryFiles::TemporaryFiles(std::wstring temporaryFolder) : folder(std::move(temporaryFolder))
{
    g_temporaryFiles = this;
}

TemporaryFiles::~TemporaryFiles()
{
    // A read-only file would refuse the deletion and keep its folder too.
    for (const std::wstring& file : files)
        DeleteWithAnyAttributes(file);
    ::RemoveDirectoryW(folder.c_str());
    files.clear();
    g_temporaryFiles = nullptr;
}
