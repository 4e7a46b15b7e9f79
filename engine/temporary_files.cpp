#include "engine/temporary_files.h"

#include <windows.h>

TemporaryFiles* g_temporaryFiles = nullptr;

TemporaryFiles::TemporaryFiles(std::wstring temporaryFolder) : folder(std::move(temporaryFolder))
{
    g_temporaryFiles = this;
}

TemporaryFiles::~TemporaryFiles()
{
    for (const std::wstring& file : files) {
        // A read-only file would refuse the deletion and keep its folder too.
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(file.c_str());
    }
    ::RemoveDirectoryW(folder.c_str());
    files.clear();
    g_temporaryFiles = nullptr;
}
