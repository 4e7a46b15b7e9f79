#pragma once
// What the journal and the run ask of the file system about one path.
#include <string>

bool IsExistingFile(const std::wstring& path);
bool IsExistingFolder(const std::wstring& path);

// Deletes a file even when it is read-only; failures are the caller's to ignore.
void DeleteWithAnyAttributes(const std::wstring& path);
