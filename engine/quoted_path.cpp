#include "engine/quoted_path.h"

#include <windows.h>
#include <shlwapi.h>

std::optional<std::wstring> QuotedPath(const std::wstring& path)
{
    if (path.size() + 2 >= MAX_PATH)
        return std::nullopt;
    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, path.size());
    ::PathQuoteSpacesW(buffer);
    return std::wstring(buffer);
}

std::wstring DisplayedPath(const std::wstring& path)
{
    return QuotedPath(path).value_or(path);
}
