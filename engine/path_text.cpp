#include "engine/path_text.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

// `path` in a zero-filled MAX_PATH buffer; false when it does not fit with its terminating zero.
bool CopyToBuffer(const std::wstring& path, wchar_t (&buffer)[MAX_PATH])
{
    if (path.size() >= MAX_PATH)
        return false;
    path.copy(buffer, path.size());
    buffer[path.size()] = L'\0';
    return true;
}

} // namespace

std::optional<std::wstring> QuotedPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (path.size() + 2 >= MAX_PATH || !CopyToBuffer(path, buffer))
        return std::nullopt;
    ::PathQuoteSpacesW(buffer);
    return std::wstring(buffer);
}

std::wstring DisplayedPath(const std::wstring& path)
{
    return QuotedPath(path).value_or(path);
}

std::optional<std::wstring> FolderOf(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!CopyToBuffer(path, buffer) || !::PathRemoveFileSpecW(buffer))
        return std::nullopt;
    return std::wstring(buffer);
}
