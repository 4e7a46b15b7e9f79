#include "app/languages.h"

#include "app/product_identity.h"
#include "framework/unique_resource.h"

#include <vector>

std::wstring GetInstallerTitle(bool withProductName)
{
    std::wstring title = L"Installer";
    if (withProductName)
        title += L" \u2013 " + GetProductName(false);
    return title;
}


std::wstring FormatText(const std::wstring& pattern, std::initializer_list<std::wstring> inserts)
{
    std::vector<DWORD_PTR> arguments;
    for (const std::wstring& insert : inserts)
        arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));
    vt::unique_hlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern.c_str(),
        0, 0, reinterpret_cast<LPWSTR>(buffer.put()), 0,
        reinterpret_cast<va_list*>(arguments.empty() ? nullptr : arguments.data()));
    if (length == 0)
        return pattern; // a pattern the formatter refuses is shown as it stands
    return std::wstring(static_cast<const wchar_t*>(buffer.get()), length);
}
