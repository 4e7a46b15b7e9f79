#include "engine/backup.h"

#include <windows.h>

namespace {

// GetTempFileNameW appends up to 14 characters ("vt", four hex digits, ".tmp" and the zero) to
// the folder within a MAX_PATH buffer.
constexpr DWORD kLongestTempFolder = 246;

} // namespace

std::wstring BackupToTemp(const std::wstring* source, bool copy)
{
    wchar_t folder[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > kLongestTempFolder)
        return {};
    wchar_t name[MAX_PATH];
    if (::GetTempFileNameW(folder, L"vt", 0, name) == 0)
        return {};
    // The service made an empty file to reserve the name; only the name is wanted, and the
    // registry's hive writer refuses a file that exists.
    ::DeleteFileW(name);
    if (source == nullptr)
        return name;

    const DWORD attributes = ::GetFileAttributesW(source->c_str());
    ::SetFileAttributesW(source->c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool placed = copy ? ::CopyFileW(source->c_str(), name, FALSE) != FALSE
                             : ::MoveFileExW(source->c_str(), name, MOVEFILE_COPY_ALLOWED) != FALSE;
    if (!placed) {
        if (attributes != INVALID_FILE_ATTRIBUTES)
            ::SetFileAttributesW(source->c_str(), attributes);
        // A copy cut short may have left part of the file under the reserved name.
        ::DeleteFileW(name);
        return {};
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (copy)
            ::SetFileAttributesW(source->c_str(), attributes);
        ::SetFileAttributesW(name, attributes);
    }
    return name;
}
